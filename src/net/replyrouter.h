#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class AppContext;

// Every datagram that reaches the phone's port passes through route(): it
// becomes lower-case hex text, its 12-character reply code picks the row,
// the three connection replies go to the discovery screen's handlers
// whoever sent them, and every other known reply is posted as its notice
// unless it came from the phone itself (its own multicast and broadcast).
class ReplyRouter
{
public:
    using Handler = std::function<void(const QString &replyHex, const QString &senderHost)>;

    explicit ReplyRouter(AppContext &ctx);
    static ReplyRouter &shared();

    void route(const QByteArray &datagram, const QString &senderHost);

    // Registration points of the discovery screen; each lasts as long as its owner.
    void setServerInfoHandler(QObject *owner, Handler handler);     // 5001
    void setConnectionEndHandler(QObject *owner, Handler handler);  // 5003
    void setPlayStateHandler(QObject *owner, Handler handler);      // 5101, before its notice

    // The datagram as the router reads it: lower-case hex, no blanks.
    static QString replyText(const QByteArray &datagram);

private:
    struct Slot {
        QPointer<QObject> owner;
        Handler handler;
        void call(const QString &hex, const QString &host) const
        {
            if (owner && handler) {
                Handler h = handler;
                h(hex, host);
            }
        }
    };
    AppContext &m_ctx;
    Slot m_serverInfo, m_connectionEnd, m_playState;
};
