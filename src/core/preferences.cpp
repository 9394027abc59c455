#include "core/preferences.h"

#include "core/logging.h"
#include "core/logsink.h"

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

Preferences::Preferences(const QString &file, Scheduler *scheduler)
    : m_settings(std::make_unique<QSettings>(file, QSettings::IniFormat))
    , m_scheduler(scheduler)
{
}

Preferences::~Preferences()
{
    sync();
}

QString Preferences::string(const QString &key) const
{
    const QString k = flatKey(key);
    const auto it = m_pending.constFind(k);
    return it != m_pending.constEnd() ? it.value() : m_settings->value(k).toString();
}

bool Preferences::contains(const QString &key) const
{
    const QString k = flatKey(key);
    return m_pending.contains(k) || m_settings->contains(k);
}

qint64 Preferences::integer(const QString &key) const
{
    return HexCodec::integerValue(string(key));
}

void Preferences::setString(const QString &key, const QString &value)
{
    m_pending.insert(flatKey(key), value);
    if (!m_scheduler) {
        sync();
        return;
    }
    // The first change of a burst sets the time; later ones ride along, so
    // a steady stream of changes still reaches the file every kSaveDelayMs.
    if (!m_saveTimer || !m_scheduler->isActive(m_saveTimer))
        m_saveTimer = m_scheduler->after(kSaveDelayMs, &m_timerContext, [this] {
            m_saveTimer = 0;
            sync();
        });
}

bool Preferences::sync()
{
    if (m_saveTimer && m_scheduler) {
        m_scheduler->cancel(m_saveTimer);
        m_saveTimer = 0;
    }
    if (m_pending.isEmpty())
        return m_settings->status() == QSettings::NoError;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
    m_pending.clear();
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        qevaLog(lcSession, QStringLiteral("could not save preferences to %1").arg(m_settings->fileName()));
        return false;
    }
    return true;
}

QString Preferences::fileName() const
{
    return m_settings->fileName();
}
