#pragma once

#include "net/framesender.h"
#include "session/deviceinfo.h"

#include <QHash>
#include <QList>
#include <QObject>
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
// are recorded (and answered with the login frame, as the app does), every
// other reply waits in the sender's inbox until a command takes it. It is
// also the sender the builders hand their frames to: it counts them per
// server (a set command's only evidence) and forwards them to the endpoint.
class CliSession : public QObject, public FrameSender
{
    Q_OBJECT
public:
    struct Settings
    {
        QString userName;     // carried by the login frame
        std::optional<QString> password; // none: every server counts as unlocked
        bool login = true;    // answer announcements with the login frame
    };

    CliSession(AppContext &ctx, Settings settings);
    ~CliSession() override;

    // Opens the endpoint and takes its datagrams. False when the phone's
    // port could not be opened.
    bool start();

    // Runs the event loop for up to ms, or until done() holds (checked at
    // once and after every datagram). Says whether done() held.
    bool wait(int ms, const std::function<bool()> &done = {});

    const QList<CliServer> &servers() const { return m_servers; }
    const CliServer *server(const QString &address) const;

    // Replies that came from host since the last take, oldest first.
    QStringList inbox(const QString &host) const { return m_inbox.value(host); }
    void clearInbox(const QString &host) { m_inbox.remove(host); }

    // Frames handed over for host so far.
    int framesTo(const QString &host) const { return m_sent.value(host); }

    // FrameSender
    void sendMessage(const QString &hexFrame, const QString &host, quint16 port, int timeoutSec, long tag) override;

private:
    void received(const QByteArray &data, const QString &host, quint16 port);
    void announcement(const QString &hex, const QString &host);

    AppContext &m_ctx;
    Settings m_settings;
    QList<CliServer> m_servers;
    QHash<QString, QStringList> m_inbox;
    QHash<QString, int> m_sent;
    QEventLoop *m_loop = nullptr;
    std::function<bool()> m_done;
};
