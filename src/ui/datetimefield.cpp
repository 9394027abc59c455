#include "ui/datetimefield.h"

DateTimeField::DateTimeField(Mode mode, int tag, QObject *parent)
    : InputField(tag, parent)
    , m_mode(mode)
    , m_format(mode == Date ? QStringLiteral("yyyy/MM/dd") : QStringLiteral("HH:mm:ss"))
{
    const QDateTime now = QDateTime::currentDateTime();
    if (m_mode == Date)
        m_wheelDate = now.date();
    else
        m_wheelTime = QTime(now.time().hour(), now.time().minute(), now.time().second());
}

void DateTimeField::setDisplayFormat(const QString &format)
{
    if (m_format == format)
        return;
    m_format = format;
    Q_EMIT displayFormatChanged();
}

bool DateTimeField::selectDate(const QDate &date)
{
    if (m_mode != Date || !date.isValid())
        return false;
    if (date != m_wheelDate) {
        m_wheelDate = date;
        Q_EMIT wheelChanged();
    }
    return true;
}

bool DateTimeField::selectTime(const QTime &time)
{
    if (m_mode != Time || !time.isValid())
        return false;
    if (time != m_wheelTime) {
        m_wheelTime = time;
        Q_EMIT wheelChanged();
    }
    return true;
}

QString DateTimeField::format(const QDate &date, const QTime &time) const
{
    return m_mode == Date ? date.toString(m_format) : time.toString(m_format);
}

void DateTimeField::applyWheel()
{
    m_date = m_wheelDate;
    m_time = m_wheelTime;
    setText(format(m_date, m_time));
    Q_EMIT applied();
}
