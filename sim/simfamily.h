#pragma once

// Adding a command family to the simulator
// ----------------------------------------
// One file, sim/<family>family.cpp, listed in sim/CMakeLists.txt, with a
// factory declared in simfamilies.h and added to simFamilies():
//
//     #include "simfamily.h"
//
//     class VolumeFamily : public SimFamily
//     {
//     public:
//         QString name() const override { return QStringLiteral("volume"); }
//         void install(SimRoutes &routes) override
//         {
//             routes.on(SimPort::Time, 0x5a02, [this](const SimRequest &q) { query(q); });
//         }
//         QVariantMap state() const override { return {{QStringLiteral("volume"), m_volume}}; }
//
//     private:
//         void query(const SimRequest &q)
//         {
//             SimReader r = q.reader();             // positioned after the 6-byte header
//             const QHostAddress phone = r.ipv4("phone address");
//             if (!r.ok())
//                 return malformed(q, r.error());
//             sendReply(replyAddress(q, phone), SimFrameWriter(0x5503).u8(100).u8(m_volume).frame());
//         }
//         int m_volume = 50;
//     };
//     std::unique_ptr<SimFamily> makeVolumeFamily()
//     {
//         return std::make_unique<VolumeFamily>();
//     }
//
// - Ports: SimPort::Control is the server's 5760, SimPort::Time its 5762.
//   One handler per code and port; a second claim is logged and ignored.
// - Every datagram is logged ("<code> <hex>") before it reaches a handler;
//   a request that no family claims is logged as unhandled.
// - Replies go to <phone>:<reply port>; the phone's address is the one its
//   query carries (SimRequest::trailingAddress() reads the last 4 bytes,
//   where every query keeps it), passed through replyAddress(), which keeps
//   it only when it is the sender's or a logged-in phone's. sendReply()
//   logs the frame it sends; a peer's requests get at most
//   SimLimits::repliesPerSecond datagrams a second.
// - Text from the wire goes into a log line through LogEscape (names,
//   texts) or LogEscape::hex (bytes), so that it cannot forge lines.
// - log() writes a line; logState() writes "state <family> <text>" for what
//   a test or a person reading the log should see change. state() is what
//   tests read through SimServer::family("volume")->state().
// - The TCP port's connections: routes.onTcpConnection(fn) is called with
//   each accepted socket (the server owns it and deletes it once the peer
//   closes). One family takes the stream; without one the server logs and
//   drops what arrives.
// - One instance per SimServer, created at start(), so state never leaks
//   between two simulators in one process. SimConfig::families limits which
//   of the listed families a server installs (a test of one family alone).

#include "simframe.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <vector>

class QTcpSocket;
class SimServer;

enum class SimPort { Control, Time };
QString simPortName(SimPort port);

// One request datagram as it arrived, header already checked.
struct SimRequest
{
    SimPort port = SimPort::Control;
    quint16 code = 0;
    QByteArray frame; // the whole datagram
    QHostAddress sender;
    quint16 senderPort = 0;

    QByteArray payload() const { return frame.mid(6); }
    SimReader reader() const;             // at the first payload byte
    QHostAddress trailingAddress() const; // the last 4 bytes; null when the payload is shorter
    QString hex() const;
};

using SimHandler = std::function<void(const SimRequest &)>;
using SimTcpHandler = std::function<void(QTcpSocket *)>;

// What a family claims while it is installed.
class SimRoutes
{
public:
    virtual ~SimRoutes() = default;
    virtual void on(SimPort port, quint16 code, SimHandler handler) = 0;
    virtual void onTcpConnection(SimTcpHandler handler) = 0;
};

class SimFamily
{
public:
    virtual ~SimFamily() = default;

    virtual QString name() const = 0;
    virtual void install(SimRoutes &routes) = 0;
    virtual QVariantMap state() const { return {}; }
    // The server is about to close its sockets: forget every one of them.
    virtual void serverStopping() {}

protected:
    SimServer &server() const { return *m_server; }
    void log(const QString &line) const;
    void logState(const QString &text) const;
    // "malformed <code>: <why>", the one line a bad request leaves.
    void malformed(const SimRequest &request, const QString &why) const;
    // Where a query's answer goes: see SimServer::replyAddress.
    QHostAddress replyAddress(const SimRequest &request, const QHostAddress &carried) const;
    // To phone:<reply port>; false (and a log line) when it could not go.
    bool sendReply(const QHostAddress &phone, const QByteArray &frame) const;
    bool sendReply(const QHostAddress &phone, const QString &hexFrame) const;

private:
    friend class SimServer;
    SimServer *m_server = nullptr;
};

using SimFamilyFactory = std::function<std::unique_ptr<SimFamily>()>;
