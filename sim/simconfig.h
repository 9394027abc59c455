#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QString>
#include <QStringList>
#include <optional>

// One play window as the announcement carries it: a 4-byte record.
struct SimWindow
{
    quint8 id = 0x01;
    quint8 playMode = 0;  // the client reads it from the first record: 0 loop, 1 random, 2 in order, 3 repeat one
    quint16 reserved = 0; // sent, never read by the client

    bool operator==(const SimWindow &) const = default;
};

// What one simulator runs with. The defaults are those of a real server on
// a real network; tests set loopback addresses and free ports.
struct SimConfig
{
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    QHostAddress announceAddress = QHostAddress(QStringLiteral("239.9.9.1")); // unicast, broadcast or group
    quint16 announcePort = 5760;
    QString multicastInterface; // name or address; empty: the system's choice

    quint32 identifier = 0x00000001;
    QString name = QStringLiteral("qeva-sim");
    QString password = QStringLiteral("468");
    QList<SimWindow> windows{SimWindow{}};

    int intervalMs = 2000; // 0: announce once at start, then only when asked (tests)
    quint16 udpPort = 5760;
    quint16 tcpPort = 5761;
    quint16 timePort = 5762;
    quint16 replyPort = 5760; // the phone's port; every reply and the 5003 go there

    QString logFile;            // "": in memory only; "-": standard output; else a file, appended to
    int memoryLogLines = 10000; // the newest lines kept for logLines()
    int endAfterMs = -1;        // < 0: never; else send 5003 to every logged-in phone once, then keep running
    QStringList families;       // registered families to install by name; empty: all of them
};

// An interface by name ("lo") or by one of its addresses ("127.0.0.1").
std::optional<QNetworkInterface> findSimInterface(const QString &nameOrAddress);
