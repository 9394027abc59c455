#include "ui/alertcenter.h"

#include "core/appcontext.h"
#include "core/logging.h"

AlertCenter::AlertCenter(AppContext &)
{
}

AlertCenter &AlertCenter::shared()
{
    return AppContext::current()->shared<AlertCenter>();
}

void AlertCenter::alert(const QString &title, const QString &message, const QStringList &buttons,
                        QObject *context, Callback callback)
{
    enqueue(Question{Alert, title, message, buttons, context, context != nullptr, std::move(callback)});
}

void AlertCenter::actionSheet(const QString &title, const QStringList &buttons, QObject *context,
                              Callback callback)
{
    enqueue(Question{ActionSheet, title, QString(), buttons, context, context != nullptr, std::move(callback)});
}

void AlertCenter::enqueue(Question q)
{
    if (q.buttons.isEmpty()) {
        // Nothing could ever answer it, and it would hold up the queue.
        qCWarning(lcUi) << "question without buttons dropped:" << q.title;
        return;
    }
    if (q.context)
        connect(q.context, &QObject::destroyed, this, &AlertCenter::dropOrphans, Qt::UniqueConnection);
    m_queue.append(std::move(q));
    Q_EMIT changed();
}

bool AlertCenter::answer(int index)
{
    if (m_queue.isEmpty())
        return false;
    if (index < 0 || index >= m_queue.first().buttons.size())
        return false;
    // Off the queue before the call: the callback may ask again.
    Question q = m_queue.takeFirst();
    Q_EMIT changed();
    if (q.hadContext && !q.context)
        return true;
    if (q.callback)
        q.callback(index);
    return true;
}

bool AlertCenter::cancel()
{
    if (m_queue.isEmpty())
        return false;
    return answer(int(m_queue.first().buttons.size()) - 1);
}

AlertCenter::Style AlertCenter::style() const
{
    return m_queue.isEmpty() ? Alert : m_queue.first().style;
}

QString AlertCenter::title() const
{
    return m_queue.isEmpty() ? QString() : m_queue.first().title;
}

QString AlertCenter::message() const
{
    return m_queue.isEmpty() ? QString() : m_queue.first().message;
}

QStringList AlertCenter::buttons() const
{
    return m_queue.isEmpty() ? QStringList() : m_queue.first().buttons;
}

void AlertCenter::dropOrphans()
{
    const auto before = m_queue.size();
    m_queue.removeIf([](const Question &q) { return q.hadContext && !q.context; });
    if (m_queue.size() != before)
        Q_EMIT changed();
}
