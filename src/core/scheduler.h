#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

// Everything in the client that waits goes through a scheduler: the scan
// ticks, the pop-up time-outs, the transfer steps. The app runs on Qt's
// timers; tests advance a manual clock and never sleep.
class Scheduler
{
public:
    using TimerId = quint64;
    virtual ~Scheduler() = default;

    // Calls fn once after ms. The call is dropped if context is destroyed first.
    virtual TimerId after(int ms, QObject *context, std::function<void()> fn) = 0;
    // Calls fn every ms until cancelled or context is destroyed.
    virtual TimerId every(int ms, QObject *context, std::function<void()> fn) = 0;
    virtual void cancel(TimerId id) = 0;
    virtual bool isActive(TimerId id) const = 0;
    virtual qint64 nowMs() const = 0;
};

class QtScheduler : public Scheduler
{
public:
    ~QtScheduler() override;
    TimerId after(int ms, QObject *context, std::function<void()> fn) override;
    TimerId every(int ms, QObject *context, std::function<void()> fn) override;
    void cancel(TimerId id) override;
    bool isActive(TimerId id) const override;
    qint64 nowMs() const override;

private:
    TimerId start(int ms, bool repeat, QObject *context, std::function<void()> fn);
    TimerId m_next = 1;
    std::map<TimerId, QPointer<QObject>> m_timers; // id -> QTimer
};

class ManualScheduler : public Scheduler
{
public:
    TimerId after(int ms, QObject *context, std::function<void()> fn) override;
    TimerId every(int ms, QObject *context, std::function<void()> fn) override;
    void cancel(TimerId id) override;
    bool isActive(TimerId id) const override;
    qint64 nowMs() const override { return m_now; }

    // Moves the clock forward, firing every timer that falls due on the way
    // in time order (a repeating timer fires once per period crossed).
    void advance(qint64 ms);
    int pendingCount() const { return int(m_timers.size()); }

private:
    struct Timer {
        qint64 due;
        int period; // 0 for a one-shot
        QPointer<QObject> context;
        bool hadContext;
        std::function<void()> fn;
    };
    TimerId add(int ms, bool repeat, QObject *context, std::function<void()> fn);
    qint64 m_now = 0;
    TimerId m_next = 1;
    std::map<TimerId, Timer> m_timers;
};
