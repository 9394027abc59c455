#pragma once

#include "ui/inputfield.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

// A field chosen with a date wheel or a time-of-day wheel. Ending the edit
// shows the wheel's value in the display format and reports it.
class DateTimeField : public InputField
{
    Q_OBJECT
    Q_PROPERTY(Mode mode READ mode CONSTANT)
    Q_PROPERTY(QString displayFormat READ displayFormat WRITE setDisplayFormat NOTIFY displayFormatChanged)
    Q_PROPERTY(QDate wheelDate READ wheelDate NOTIFY wheelChanged)
    Q_PROPERTY(QTime wheelTime READ wheelTime NOTIFY wheelChanged)
    Q_PROPERTY(QDate date READ date NOTIFY applied)
    Q_PROPERTY(QTime time READ time NOTIFY applied)

public:
    enum Mode { Date, Time };
    Q_ENUM(Mode)

    // The wheel starts at the present moment, as a platform wheel does;
    // the format at "yyyy/MM/dd" for dates and "HH:mm:ss" for times.
    explicit DateTimeField(Mode mode, int tag = 0, QObject *parent = nullptr);

    Mode mode() const { return m_mode; }
    QString displayFormat() const { return m_format; }
    void setDisplayFormat(const QString &format);

    QDate wheelDate() const { return m_wheelDate; }
    QTime wheelTime() const { return m_wheelTime; }
    // The value last applied; invalid before the first.
    QDate date() const { return m_date; }
    QTime time() const { return m_time; }

    // Refused (false) for an invalid value or one of the other mode.
    Q_INVOKABLE bool selectDate(const QDate &date);
    Q_INVOKABLE bool selectTime(const QTime &time);

    // The wheel's value as the field would show it.
    QString format(const QDate &date, const QTime &time) const;

Q_SIGNALS:
    void displayFormatChanged();
    void wheelChanged();
    void applied();

protected:
    void applyWheel() override;

private:
    Mode m_mode;
    QString m_format;
    QDate m_wheelDate;
    QTime m_wheelTime;
    QDate m_date;
    QTime m_time;
};
