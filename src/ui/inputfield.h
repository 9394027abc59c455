#pragma once

#include <QObject>
#include <QString>

// A text field whose input is a wheel: editing opens the wheel, the wheel
// moves without changing anything, ending the edit applies the wheel.
class InputField : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool editing READ isEditing NOTIFY editingChanged)
    Q_PROPERTY(int tag READ tag CONSTANT)

public:
    explicit InputField(int tag = 0, QObject *parent = nullptr);

    QString text() const { return m_text; }
    // Screens fill the field without a choice too (the first server at load).
    void setText(const QString &text);
    int tag() const { return m_tag; }
    bool isEditing() const { return m_editing; }

    Q_INVOKABLE void beginEditing();
    // Applies the wheel; false when the field was not being edited.
    Q_INVOKABLE bool endEditing();

Q_SIGNALS:
    void textChanged();
    void editingChanged();
    // After every end of an edit, whether or not something was applied.
    void editingEnded();

protected:
    virtual void applyWheel() = 0;

private:
    int m_tag;
    QString m_text;
    bool m_editing = false;
};
