#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

// Named broadcasts inside the process. Delivery is synchronous, on the
// caller's (main) thread, to every subscriber in the order they subscribed.
// A subscription ends with the object that made it.
class NoticeCenter
{
public:
    using Handler = std::function<void(const QVariant &object)>;

    void subscribe(QObject *observer, const QString &name, Handler handler);
    // Ends observer's subscriptions to name, or to every notice when name is empty.
    void unsubscribe(QObject *observer, const QString &name = QString());
    void post(const QString &name, const QVariant &object = QVariant());

    int subscriberCount(const QString &name) const;

private:
    struct Entry {
        quint64 id;
        QPointer<QObject> observer;
        QString name;
        Handler handler;
    };
    void prune();
    std::vector<Entry> m_entries;
    quint64 m_next = 1;
    int m_posting = 0;
};
