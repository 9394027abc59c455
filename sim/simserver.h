#pragma once

#include "simconfig.h"
#include "simfamily.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcSim)

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

// One simulated playback server: the control and time UDP ports, the file
// stream TCP port, the periodic announcement (5001), the log, the phones that
// logged in, and the command families (simfamily.h) that answer the rest.
// Runs on the thread's event loop; tests create one in-process.
class SimServer : public QObject
{
    Q_OBJECT

public:
    explicit SimServer(SimConfig config, QObject *parent = nullptr);
    ~SimServer() override;

    // Before start(): families beyond the listed ones (tests use probes).
    void addFamily(std::unique_ptr<SimFamily> family);

    // Opens the log, binds the ports, installs the families, announces once
    // and starts the timers. False with errorString() when something could
    // not be opened or bound; then nothing stays open.
    bool start();
    void stop();
    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }

    const SimConfig &config() const { return m_config; }
    // The ports actually bound (differ from the config only when it says 0).
    quint16 udpPort() const;
    quint16 timePort() const;
    quint16 tcpPort() const;
    // The address the announcement carries: the bind address, or for
    // 0.0.0.0 the first non-loopback IPv4 of the machine, else 127.0.0.1.
    QHostAddress ownAddress() const { return m_ownAddress; }

    QList<SimWindow> windows() const { return m_windows; }
    void setWindows(const QList<SimWindow> &windows); // the next announcement carries them
    QByteArray announcement() const;
    void announceNow();

    // Phones that logged in (5002), by the address that replies go to.
    QList<QHostAddress> phones() const { return m_phones; }
    bool addPhone(const QHostAddress &phone); // false when already known or when there are kMaxPhones
    static constexpr int kMaxPhones = 64;
    // Sends 5003 to every logged-in phone and forgets them; they log in again
    // with their next 5002.
    void endConnections();

    // A frame to phone:<reply port>, logged as "send <code> <to> <hex>".
    // While a request is handled, what it sends counts against its
    // sender's replies per second; past the limit nothing goes.
    bool sendToPhone(const QHostAddress &phone, const QByteArray &frame);
    // Where the answer to a query goes. The address the query carries only
    // when it is the sender's own or that of a phone that logged in: the
    // server must not be made to send to a third party. Else the sender.
    QHostAddress replyAddress(const SimRequest &request, const QHostAddress &carried);

    // A datagram as if it had arrived on the port (tests and fuzzing).
    void receiveDatagram(SimPort port, const QByteArray &data, const QHostAddress &sender, quint16 senderPort);
    // Takes every datagram the server would send instead of its socket; true
    // counts as sent. For fuzzing, where nothing may leave the process.
    using DatagramSink = std::function<bool(const QByteArray &, const QHostAddress &, quint16)>;
    void setDatagramSink(DatagramSink sink) { m_sink = std::move(sink); }

    // Milliseconds on a steady clock; tests set their own to step time.
    qint64 nowMs() const { return m_clock ? m_clock() : m_started.elapsed(); }
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // Every line goes to the log file and to memory, escaped so that
    // nothing in it can start another line. Memory keeps the newest lines
    // within SimLimits::memoryLogBytes; the file moves to FILE.1 at
    // SimLimits::logFileBytes.
    void log(const QString &line);
    QStringList logLines() const { return m_lines; }
    qint64 memoryLogBytes() const { return m_linesBytes; }
    static constexpr qsizetype kMaxLineChars = 2048;

    // TCP connections open, and those refused by the connection limits.
    int tcpConnectionCount() const { return int(m_tcpSockets.size()); }
    int refusedConnections() const { return m_refusedConnections; }

    SimFamily *family(const QString &name) const;
    template <class T> T *family() const
    {
        for (const auto &f : m_families)
            if (T *t = dynamic_cast<T *>(f.get()))
                return t;
        return nullptr;
    }

Q_SIGNALS:
    void lineLogged(const QString &line);

private:
    struct Routes;
    struct Route
    {
        QString family;
        SimHandler handler;
    };
    static quint32 routeKey(SimPort port, quint16 code) { return quint32(port) << 16 | code; }

    // Counting within one second, per peer.
    struct Window
    {
        qint64 start = 0;
        int count = 0;
        int held = 0; // refused within the second, told once
    };

    bool fail(const QString &message);
    void installFamilies();
    void readDatagrams(QUdpSocket *socket, SimPort port);
    bool write(const QByteArray &frame, const QHostAddress &to, quint16 port, QString *error);
    bool takeReplyBudget(const QString &code);
    void writeLogFile(const QByteArray &line);
    void acceptTcp();
    // Why a new connection from peer is refused, or "" (after making room when needed).
    QString refuseTcp(const QHostAddress &peer);
    void logRefusal(const QHostAddress &peer, quint16 port, const QString &why);
    void applyMulticastOptions();
    QHostAddress findOwnAddress() const;

    SimConfig m_config;
    bool m_running = false;
    QString m_error;
    QFile m_logFile;
    qint64 m_logFileSize = 0;
    QStringList m_lines;
    qint64 m_linesBytes = 0;
    QElapsedTimer m_started;
    std::function<qint64()> m_clock;
    DatagramSink m_sink;

    QUdpSocket *m_control = nullptr;
    QUdpSocket *m_time = nullptr;
    QTcpServer *m_tcp = nullptr;
    QList<QTcpSocket *> m_tcpSockets;
    QTimer m_announceTimer;
    QTimer m_endTimer;

    QHostAddress m_ownAddress;
    QList<SimWindow> m_windows;
    QList<QHostAddress> m_phones;

    // The sender of the request being handled; null outside one.
    QHostAddress m_requester;
    QHash<quint32, Window> m_replies;     // by peer address
    QHash<quint32, Window> m_tcpRefusals; // by peer address
    int m_refusedConnections = 0;

    std::vector<std::unique_ptr<SimFamily>> m_families;
    bool m_familiesInstalled = false;
    QHash<quint32, Route> m_routes;
    SimTcpHandler m_tcpHandler;
    QString m_tcpFamily;
};
