#pragma once

#include "net/framesender.h"
#include "session/deviceinfo.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class AppContext;
class QEventLoop;

// A server as its announcement (5001) showed it during this run.
struct CliServer
{
    DeviceInfo device;    // deviceIp is the sender of the announcement
    QString announcement; // the reply text
    bool locked = false;  // --password was given and is not this server's
    bool loginSent = false;
};

// The tool's side of the network. It is the receiver of the endpoint's
// server socket, so it sees every datagram with its sender: announcements
// are recorded (the first one of each server answered with the login frame),
// replies wait in their sender's inbox while a command waits for that
// sender. It is also the sender the builders hand their frames to: it counts
// them per server (a set command's only evidence) and forwards them to the
// endpoint.
//
// On a busy network it keeps only what the command can use: the servers it
// acts on (all of them for a scan or --all) and the replies of a sender
// whose inbox a command opened.
class CliSession : public QObject, public FrameSender
{
    Q_OBJECT
public:
    struct Settings
    {
        QString userName;     // carried by the login frame
        std::optional<QString> password; // none: every server counts as unlocked
        bool login = true;    // answer announcements with the login frame
        // The one server the command acts on, by address or by name: the
        // announcements of others are not kept. Empty: every server.
        QString only;
    };
    // A sender's replies beyond this many, not yet taken, are dropped.
    static constexpr int kInboxLimit = 10000;

    CliSession(AppContext &ctx, Settings settings);
    ~CliSession() override;

    // Opens the endpoint and takes its datagrams. False when the phone's
    // port could not be opened; startError() then says why.
    bool start();
    QString startError() const { return m_startError; }
    // Why the multicast group could not be joined (the tool then hears
    // broadcast and unicast only); empty when it was.
    QString groupWarning() const;

    // Runs the event loop until ms have passed, or until done() holds
    // (checked at once and after every datagram). Says whether done() held.
    // The time is a deadline: a flood of datagrams does not stretch it.
    bool wait(int ms, const std::function<bool()> &done = {});

    const QList<CliServer> &servers() const { return m_servers; }
    const CliServer *server(const QString &address) const;

    // Replies that came from host since its inbox was last cleared, oldest
    // first. Clearing a host's inbox is what opens it: replies from a host
    // whose inbox no command cleared are not kept.
    QStringList inbox(const QString &host) const { return m_inbox.value(host); }
    void clearInbox(const QString &host);

    // Frames handed over for host so far.
    int framesTo(const QString &host) const { return m_sent.value(host); }
    // Why the last frame for host was not handed over; empty when it was.
    QString sendError(const QString &host) const { return m_sendErrors.value(host); }

    // FrameSender
    void sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag) override;

private:
    void received(const QByteArray &data, const QString &host, quint16 port);
    void announcement(const QString &hex, const QString &host);
    bool wanted(const QString &host, const QString &name) const;

    AppContext &m_ctx;
    Settings m_settings;
    QString m_startError;
    QList<CliServer> m_servers;
    QHash<QString, qsizetype> m_serverAt; // address -> index in m_servers
    QHash<QString, QStringList> m_inbox;
    QSet<QString> m_open;                 // hosts whose replies are kept
    QHash<QString, int> m_sent;
    QHash<QString, QString> m_sendErrors;
    QEventLoop *m_loop = nullptr;
    std::function<bool()> m_done;
    QDeadlineTimer m_deadline;
};
