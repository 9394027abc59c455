#pragma once

#include "simconfig.h"
#include "simfamily.h"

#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QStringList>
#include <QTimer>
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

    // Before start(): families beyond the registered ones (tests use probes).
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
    bool addPhone(const QHostAddress &phone); // false when already known
    // Sends 5003 to every logged-in phone and forgets them; they log in again
    // with their next 5002.
    void endConnections();

    // A frame to phone:<reply port>, logged as "send <code> <to> <hex>".
    bool sendToPhone(const QHostAddress &phone, const QByteArray &frame);

    void log(const QString &line);
    QStringList logLines() const { return m_lines; }

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

    bool fail(const QString &message);
    void installFamilies();
    void readDatagrams(QUdpSocket *socket, SimPort port);
    void handleDatagram(SimPort port, const QByteArray &data, const QHostAddress &sender, quint16 senderPort);
    void acceptTcp();
    void applyMulticastOptions();
    QHostAddress findOwnAddress() const;

    SimConfig m_config;
    bool m_running = false;
    QString m_error;
    QFile m_logFile;
    QStringList m_lines;

    QUdpSocket *m_control = nullptr;
    QUdpSocket *m_time = nullptr;
    QTcpServer *m_tcp = nullptr;
    QList<QTcpSocket *> m_tcpSockets;
    QTimer m_announceTimer;
    QTimer m_endTimer;

    QHostAddress m_ownAddress;
    QList<SimWindow> m_windows;
    QList<QHostAddress> m_phones;

    std::vector<std::unique_ptr<SimFamily>> m_families;
    bool m_familiesInstalled = false;
    QHash<quint32, Route> m_routes;
    SimTcpHandler m_tcpHandler;
    QString m_tcpFamily;
};
