#pragma once

#include "ui/inputfield.h"

#include <QStringList>

// A field chosen from a one-column list. selectRow() only turns the wheel
// (rowSelected tells screens that show the row at once); endEditing() puts
// the row under the wheel into the field and reports it with applied().
class PickerField : public InputField
{
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems NOTIFY itemsChanged)
    Q_PROPERTY(int wheelRow READ wheelRow NOTIFY wheelRowChanged)
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY currentIndexChanged)

public:
    explicit PickerField(int tag = 0, QObject *parent = nullptr);
    PickerField(const QStringList &items, int tag = 0, QObject *parent = nullptr);

    QStringList items() const { return m_items; }
    // The wheel stays on its row when it still exists, else goes to the first.
    void setItems(const QStringList &items);
    // The same rows in another language: a text that shows one of the rows
    // shows it in the new words.
    void retranslateItems(const QStringList &items);
    int count() const { return int(m_items.size()); }

    // -1 only when the list is empty: a wheel always stands on some row.
    int wheelRow() const { return m_wheelRow; }
    QString wheelText() const;
    // The row last applied; -1 before the first.
    int currentIndex() const { return m_currentIndex; }

    // Refused (false, nothing moves) for a row that is not in the list.
    Q_INVOKABLE bool selectRow(int row);

Q_SIGNALS:
    void itemsChanged();
    void wheelRowChanged();
    void currentIndexChanged();
    void rowSelected(int row);
    void applied(int row);

protected:
    void applyWheel() override;

private:
    QStringList m_items;
    int m_wheelRow = -1;
    int m_currentIndex = -1;
};
