#pragma once

#include "core/scheduler.h"

#include <QObject>
#include <QString>
#include <functional>

class AppContext;

// Notices when the network changes while the client runs. It compares
// snapshots of the network (by default the interfaces that are up with their
// IPv4 addresses and prefixes; the owner may add what it derives from them)
// every kIntervalMs through the scheduler, and at once where the system's
// network information backend reports a change of reachability. A changed
// snapshot is reported once through changed().
class AddressWatch : public QObject
{
    Q_OBJECT
public:
    using Snapshot = std::function<QString()>;
    static constexpr int kIntervalMs = 3000;

    explicit AddressWatch(AppContext &ctx, QObject *parent = nullptr);
    ~AddressWatch() override;

    void setSnapshot(Snapshot snapshot);
    // Takes the first snapshot and starts looking; stop() ends it.
    void start();
    void stop();
    bool isRunning() const { return m_timer != 0; }
    // Looks now; says whether the network changed since the last look.
    bool checkNow();
    // Also looks whenever Qt's network information backend (netlink or
    // NetworkManager on Linux) says reachability changed. False where no
    // backend is available: the periodic look still runs.
    bool useSystemNotifications();

    // The interfaces that are up, one "name address/prefix" per IPv4 address.
    static QString interfacesSnapshot();

Q_SIGNALS:
    void changed();

private:
    AppContext &m_ctx;
    Snapshot m_snapshot;
    QString m_last;
    Scheduler::TimerId m_timer = 0;
};
