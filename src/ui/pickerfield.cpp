#include "ui/pickerfield.h"

PickerField::PickerField(int tag, QObject *parent)
    : InputField(tag, parent)
{
}

PickerField::PickerField(const QStringList &items, int tag, QObject *parent)
    : InputField(tag, parent)
{
    setItems(items);
}

void PickerField::setItems(const QStringList &items)
{
    m_items = items;
    const int wheel = m_items.isEmpty() ? -1 : (m_wheelRow >= 0 && m_wheelRow < count() ? m_wheelRow : 0);
    const int current = m_currentIndex < count() ? m_currentIndex : -1;
    Q_EMIT itemsChanged();
    if (wheel != m_wheelRow) {
        m_wheelRow = wheel;
        Q_EMIT wheelRowChanged();
    }
    if (current != m_currentIndex) {
        m_currentIndex = current;
        Q_EMIT currentIndexChanged();
    }
}

QString PickerField::wheelText() const
{
    return m_wheelRow >= 0 ? m_items.at(m_wheelRow) : QString();
}

bool PickerField::selectRow(int row)
{
    if (row < 0 || row >= count())
        return false;
    if (row != m_wheelRow) {
        m_wheelRow = row;
        Q_EMIT wheelRowChanged();
    }
    Q_EMIT rowSelected(row);
    return true;
}

void PickerField::applyWheel()
{
    if (m_wheelRow < 0)
        return;
    const int row = m_wheelRow;
    setText(m_items.at(row));
    if (m_currentIndex != row) {
        m_currentIndex = row;
        Q_EMIT currentIndexChanged();
    }
    Q_EMIT applied(row);
}

void PickerField::retranslateItems(const QStringList &items)
{
    int shown = -1;
    if (!text().isEmpty()) {
        shown = m_currentIndex >= 0 && m_currentIndex < count() && m_items.at(m_currentIndex) == text()
                    ? m_currentIndex
                    : int(m_items.indexOf(text()));
    }
    setItems(items);
    if (shown >= 0 && shown < count())
        setText(m_items.at(shown));
}
