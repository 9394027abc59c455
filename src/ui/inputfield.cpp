#include "ui/inputfield.h"

InputField::InputField(int tag, QObject *parent)
    : QObject(parent)
    , m_tag(tag)
{
}

void InputField::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    Q_EMIT textChanged();
}

void InputField::beginEditing()
{
    if (m_editing)
        return;
    m_editing = true;
    Q_EMIT editingChanged();
}

bool InputField::endEditing()
{
    if (!m_editing)
        return false;
    m_editing = false;
    Q_EMIT editingChanged();
    applyWheel();
    Q_EMIT editingEnded();
    return true;
}
