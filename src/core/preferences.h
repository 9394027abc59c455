#pragma once

#include "core/scheduler.h"

#include <QHash>
#include <QObject>
#include <QSettings>
#include <QString>
#include <memory>

// The persistent key-value preferences. Values are text and no key is ever
// removed. A write is seen by every later read at once; the file follows
// within kSaveDelayMs, one write for every change made in that time, so
// that a burst of new servers costs one file write and not one per server.
// Without a scheduler every write goes to the file at once.
class Preferences
{
public:
    static constexpr int kSaveDelayMs = 500;

    explicit Preferences(const QString &file, Scheduler *scheduler = nullptr);
    ~Preferences(); // writes what is still pending
    Preferences(const Preferences &) = delete;
    Preferences &operator=(const Preferences &) = delete;

    QString string(const QString &key) const;     // empty when missing
    bool contains(const QString &key) const;
    qint64 integer(const QString &key) const;     // leading integer of the text, 0 when none
    void setString(const QString &key, const QString &value);
    // Writes the pending changes to the file now; false when it could not.
    bool sync();
    bool hasPendingChanges() const { return !m_pending.isEmpty(); }
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
    Scheduler *m_scheduler = nullptr;
    QObject m_timerContext;
    Scheduler::TimerId m_saveTimer = 0;
    // Written but not yet handed to QSettings: it would write the file on
    // its own at the next turn of the event loop.
    QHash<QString, QString> m_pending;
};
