#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class AppContext;

// Alerts and choice sheets of one client, shown one at a time in the order
// they were asked. The page shows the pending one and answers it with the
// index of the tapped button; the asker hears the answer once. A question
// whose asker (its context object) is gone is dropped unanswered.
class AlertCenter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool pending READ hasPending NOTIFY changed)
    Q_PROPERTY(Style style READ style NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString message READ message NOTIFY changed)
    Q_PROPERTY(QStringList buttons READ buttons NOTIFY changed)
    Q_PROPERTY(int queued READ queuedCount NOTIFY changed)

public:
    enum Style { Alert, ActionSheet };
    Q_ENUM(Style)

    using Callback = std::function<void(int index)>;

    explicit AlertCenter(AppContext &ctx);
    static AlertCenter &shared();

    // context may be null for a question that belongs to no object.
    void alert(const QString &title, const QString &message, const QStringList &buttons, QObject *context,
               Callback callback);
    void actionSheet(const QString &title, const QStringList &buttons, QObject *context, Callback callback);

    // Answers the pending question; false (and nothing changes) when there
    // is none or index is not one of its buttons.
    Q_INVOKABLE bool answer(int index);
    // Esc, or a tap beside the question: answers its last button, which
    // every alert and sheet of the client gives to "取消" (or to its only
    // button). False when nothing is pending.
    Q_INVOKABLE bool cancel();

    bool hasPending() const { return !m_queue.isEmpty(); }
    Style style() const;
    QString title() const;
    QString message() const;
    QStringList buttons() const;
    // Everything waiting, the pending one included.
    int queuedCount() const { return int(m_queue.size()); }

Q_SIGNALS:
    void changed();

private:
    struct Question
    {
        Style style;
        QString title;
        QString message;
        QStringList buttons;
        QPointer<QObject> context;
        bool hadContext;
        Callback callback;
    };
    void enqueue(Question q);
    void dropOrphans();

    QList<Question> m_queue;
};
