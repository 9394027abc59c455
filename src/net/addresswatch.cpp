#include "net/addresswatch.h"

#include "core/appcontext.h"
#include "core/logging.h"

#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QStringList>

AddressWatch::AddressWatch(AppContext &ctx, QObject *parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_snapshot(&AddressWatch::interfacesSnapshot)
{
}

AddressWatch::~AddressWatch()
{
    stop();
}

void AddressWatch::setSnapshot(Snapshot snapshot)
{
    m_snapshot = snapshot ? std::move(snapshot) : Snapshot(&AddressWatch::interfacesSnapshot);
    if (isRunning())
        m_last = m_snapshot();
}

void AddressWatch::start()
{
    if (isRunning())
        return;
    m_last = m_snapshot();
    m_timer = m_ctx.scheduler().every(kIntervalMs, this, [this] { checkNow(); });
}

void AddressWatch::stop()
{
    if (m_timer)
        m_ctx.scheduler().cancel(m_timer);
    m_timer = 0;
}

bool AddressWatch::checkNow()
{
    if (!isRunning())
        return false;
    const QString now = m_snapshot();
    if (now == m_last)
        return false;
    m_last = now;
    qevaLog(lcNet, QStringLiteral("network changed: %1").arg(now));
    Q_EMIT changed();
    return true;
}

bool AddressWatch::useSystemNotifications()
{
    if (!QNetworkInformation::instance() && !QNetworkInformation::loadDefaultBackend())
        return false;
    connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this, [this] { checkNow(); });
    return true;
}

QString AddressWatch::interfacesSnapshot()
{
    QStringList parts;
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        if (!(i.flags() & QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry &e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol)
                parts << QStringLiteral("%1 %2/%3").arg(i.name(), e.ip().toString()).arg(e.prefixLength());
    }
    parts.sort();
    return parts.join(QLatin1String(", "));
}
