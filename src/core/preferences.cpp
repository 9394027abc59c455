#include "core/preferences.h"

#include "core/logging.h"

#include "protocol/hexcodec.h"

namespace {
// QSettings treats '/' and '\' as group separators; keys carry server names,
// so they are kept in one flat group with those characters escaped.
QString flatKey(const QString &key)
{
    QString k = key;
    k.replace(QLatin1Char('%'), QLatin1String("%25"));
    k.replace(QLatin1Char('/'), QLatin1String("%2F"));
    k.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return k;
}
}

Preferences::Preferences(const QString &file)
    : m_settings(std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

QString Preferences::string(const QString &key) const
{
    return m_settings->value(flatKey(key)).toString();
}

bool Preferences::contains(const QString &key) const
{
    return m_settings->contains(flatKey(key));
}

qint64 Preferences::integer(const QString &key) const
{
    return HexCodec::integerValue(string(key));
}

void Preferences::setString(const QString &key, const QString &value)
{
    m_settings->setValue(flatKey(key), value);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        qCWarning(lcSession) << "could not save preferences to" << m_settings->fileName();
}

QString Preferences::fileName() const
{
    return m_settings->fileName();
}
