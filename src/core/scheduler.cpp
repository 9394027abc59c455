#include "core/scheduler.h"

#include <QDateTime>
#include <QTimer>

QtScheduler::~QtScheduler()
{
    for (auto &[id, timer] : m_timers)
        delete timer.data();
}

Scheduler::TimerId QtScheduler::start(int ms, bool repeat, QObject *context, std::function<void()> fn)
{
    const TimerId id = m_next++;
    auto *timer = new QTimer;
    timer->setSingleShot(!repeat);
    timer->setInterval(ms);
    timer->setTimerType(Qt::PreciseTimer);
    QPointer<QObject> guard(context);
    const bool hadContext = context != nullptr;
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, repeat, guard, hadContext, fn = std::move(fn)]() {
        if (hadContext && !guard) {
            cancel(id);
            return;
        }
        if (!repeat)
            cancel(id); // deletes the timer later, safe inside its own signal
        fn();
    });
    m_timers.emplace(id, QPointer<QObject>(timer));
    timer->start();
    return id;
}

Scheduler::TimerId QtScheduler::after(int ms, QObject *context, std::function<void()> fn)
{
    return start(ms, false, context, std::move(fn));
}

Scheduler::TimerId QtScheduler::every(int ms, QObject *context, std::function<void()> fn)
{
    return start(ms, true, context, std::move(fn));
}

void QtScheduler::cancel(TimerId id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    if (QObject *timer = it->second.data()) {
        static_cast<QTimer *>(timer)->stop();
        timer->deleteLater();
    }
    m_timers.erase(it);
}

bool QtScheduler::isActive(TimerId id) const
{
    return m_timers.count(id) != 0;
}

qint64 QtScheduler::nowMs() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

Scheduler::TimerId ManualScheduler::add(int ms, bool repeat, QObject *context, std::function<void()> fn)
{
    const TimerId id = m_next++;
    m_timers.emplace(id, Timer{m_now + ms, repeat ? qMax(1, ms) : 0, QPointer<QObject>(context),
                               context != nullptr, std::move(fn)});
    return id;
}

Scheduler::TimerId ManualScheduler::after(int ms, QObject *context, std::function<void()> fn)
{
    return add(ms, false, context, std::move(fn));
}

Scheduler::TimerId ManualScheduler::every(int ms, QObject *context, std::function<void()> fn)
{
    return add(ms, true, context, std::move(fn));
}

void ManualScheduler::cancel(TimerId id)
{
    m_timers.erase(id);
}

bool ManualScheduler::isActive(TimerId id) const
{
    return m_timers.count(id) != 0;
}

void ManualScheduler::advance(qint64 ms)
{
    const qint64 target = m_now + ms;
    // Bounded: each round fires the earliest due timer; callbacks may add or
    // cancel timers, so the map is searched afresh every time.
    for (;;) {
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            if (it->second.due <= target && (next == m_timers.end() || it->second.due < next->second.due))
                next = it;
        }
        if (next == m_timers.end())
            break;
        const TimerId id = next->first;
        Timer &t = next->second;
        m_now = t.due;
        if (t.hadContext && !t.context) {
            m_timers.erase(next);
            continue;
        }
        std::function<void()> fn = t.fn;
        if (t.period > 0)
            t.due += t.period;
        else
            m_timers.erase(next);
        (void)id;
        fn();
    }
    m_now = target;
}
