#include "core/noticecenter.h"

#include <algorithm>

void NoticeCenter::subscribe(QObject *observer, const QString &name, Handler handler)
{
    if (!observer || !handler)
        return;
    m_entries.push_back(Entry{m_next++, QPointer<QObject>(observer), name, std::move(handler)});
}

void NoticeCenter::unsubscribe(QObject *observer, const QString &name)
{
    for (Entry &e : m_entries) {
        if (e.observer == observer && (name.isEmpty() || e.name == name))
            e.observer.clear(); // removed by prune(); a post in progress skips it
    }
    prune();
}

void NoticeCenter::post(const QString &name, const QVariant &object)
{
    // Take the ids first: a handler may subscribe or unsubscribe while we deliver.
    std::vector<quint64> ids;
    for (const Entry &e : m_entries)
        if (e.name == name && e.observer)
            ids.push_back(e.id);
    ++m_posting;
    for (quint64 id : ids) {
        auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry &e) { return e.id == id; });
        if (it == m_entries.end() || !it->observer)
            continue;
        Handler h = it->handler; // the vector may grow inside the call
        h(object);
    }
    --m_posting;
    prune();
}

int NoticeCenter::subscriberCount(const QString &name) const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [&](const Entry &e) { return e.name == name && e.observer; }));
}

void NoticeCenter::prune()
{
    if (m_posting > 0)
        return;
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [](const Entry &e) { return !e.observer; }),
                    m_entries.end());
}
