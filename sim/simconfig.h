#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QPair>
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

// A timed-play scheme a simulator starts with; it plays every day of the
// year from 08:00:00 to 18:00:00 with no clock and no text.
struct SimSchemeSeed
{
    quint8 window = 0x01;
    quint8 id = 0x01;
    QString name;
    QStringList files;

    bool operator==(const SimSchemeSeed &) const = default;
};

// What a LAN peer can make the simulator hold or send. Each limit, when
// hit, leaves a line in the log.
struct SimLimits
{
    int playListEntries = 1000;   // per window
    int nameBytes = 512;          // a play-list entry or a scheme's file
    int schemesPerWindow = 32;
    int filesPerScheme = 256;
    int repliesPerSecond = 2000;  // datagrams sent for one peer's requests
    qint64 memoryLogBytes = 8 << 20;
    qint64 logFileBytes = 64 << 20; // then the file moves to FILE.1 and a new one starts
    int tcpIdleMs = 30000;          // waiting for an announcement or for the next content bytes
    int tcpPerPeer = 8;
    int tcpConnections = 64;

    bool operator==(const SimLimits &) const = default;
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
    QStringList families;       // families of simFamilies() to install by name; empty: all of them

    // What the families start with.
    QString mediaDir;      // received files; "": a temporary folder of its own
    QString transferFault; // "", "refuse", "drop:<bytes>" or "stall:<bytes>"
    QStringList serverFiles;
    QList<QPair<quint8, QStringList>> playLists; // window, files
    QList<SimSchemeSeed> schemes;

    SimLimits limits;
};

// An interface by name ("lo") or by one of its addresses ("127.0.0.1").
std::optional<QNetworkInterface> findSimInterface(const QString &nameOrAddress);
