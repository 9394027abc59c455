#include "simoptions.h"
#include "qevaversion.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace {
struct Bad
{
    QString message;
};

QHostAddress ipv4(const QString &option, const QString &text)
{
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        throw Bad{QStringLiteral("--%1: not an IPv4 address: %2").arg(option, text)};
    return address;
}

quint16 port(const QString &option, const QString &text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        throw Bad{QStringLiteral("--%1: not a port (1-65535): %2").arg(option, text)};
    return quint16(value);
}

QString text16(const QString &option, const QString &text)
{
    if (text.toUtf8().size() > 0xffff)
        throw Bad{QStringLiteral("--%1: longer than 65535 bytes").arg(option)};
    return text;
}

QList<SimWindow> windows(const QString &text)
{
    QList<SimWindow> out;
    if (text.trimmed().isEmpty())
        return out;
    static const QRegularExpression hexByte(QStringLiteral("^[0-9a-fA-F]{1,2}$"));
    QSet<int> seen;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QString id = part.trimmed();
        if (!hexByte.match(id).hasMatch())
            throw Bad{QStringLiteral("--windows: not a window id (hex byte): \"%1\"").arg(id)};
        SimWindow w;
        w.id = quint8(id.toUInt(nullptr, 16));
        if (seen.contains(w.id))
            throw Bad{QStringLiteral("--windows: window %1 given twice").arg(id)};
        seen.insert(w.id);
        out.append(w);
    }
    if (out.size() > 255)
        throw Bad{QStringLiteral("--windows: more than 255 windows")};
    return out;
}
}

SimOptions parseSimArguments(const QStringList &arguments)
{
    SimOptions result;
    const SimConfig defaults;
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulates a QEVA playback server: announces itself, takes logins and answers the phone's requests."));
    p.addHelpOption();
    p.addOption({QStringLiteral("version"), QStringLiteral("Show the version.")});
    const QString udp = QStringLiteral("udp-port"), tcp = QStringLiteral("tcp-port"), time = QStringLiteral("time-port"),
                  reply = QStringLiteral("reply-port");
    p.addOptions({
        {QStringLiteral("bind"), QStringLiteral("Local IPv4 address of every port (default 0.0.0.0)."),
         QStringLiteral("ADDR"), QStringLiteral("0.0.0.0")},
        {QStringLiteral("announce-to"),
         QStringLiteral("Where the announcement goes: a unicast or broadcast address, or a multicast group; PORT "
                        "defaults to the reply port (default 239.9.9.1:5760)."),
         QStringLiteral("ADDR[:PORT]")},
        {QStringLiteral("multicast-interface"),
         QStringLiteral("Interface (name or one of its addresses) that group announcements leave by."),
         QStringLiteral("ADDR-or-NAME")},
        {QStringLiteral("name"), QStringLiteral("Server name (default %1).").arg(defaults.name),
         QStringLiteral("NAME"), defaults.name},
        {QStringLiteral("password"), QStringLiteral("Server password (default %1).").arg(defaults.password),
         QStringLiteral("PASSWORD"), defaults.password},
        {QStringLiteral("id"), QStringLiteral("Server identifier, 8 hex digits (default 00000001)."),
         QStringLiteral("HEX8"), QStringLiteral("00000001")},
        {QStringLiteral("windows"), QStringLiteral("Ids of the play windows, hex bytes separated by commas (default 01)."),
         QStringLiteral("01,02"), QStringLiteral("01")},
        {QStringLiteral("interval-ms"), QStringLiteral("Announcement period in milliseconds (default 2000)."),
         QStringLiteral("MS"), QStringLiteral("2000")},
        {udp, QStringLiteral("UDP control port (default 5760)."), QStringLiteral("PORT"), QStringLiteral("5760")},
        {tcp, QStringLiteral("TCP file stream port (default 5761)."), QStringLiteral("PORT"), QStringLiteral("5761")},
        {time, QStringLiteral("UDP volume and time port (default 5762)."), QStringLiteral("PORT"),
         QStringLiteral("5762")},
        {reply, QStringLiteral("The phone's port that replies go to (default 5760)."), QStringLiteral("PORT"),
         QStringLiteral("5760")},
        {QStringLiteral("log"), QStringLiteral("Append the log to FILE instead of standard output."),
         QStringLiteral("FILE")},
        {QStringLiteral("end-after"),
         QStringLiteral("After SECONDS send 5003 to every phone that logged in, then keep running (SIGUSR1 does "
                        "the same at any time)."),
         QStringLiteral("SECONDS")},
        {QStringLiteral("media-dir"), QStringLiteral("Folder that received files are stored in."), QStringLiteral("DIR")},
        {QStringLiteral("transfer-fault"),
         QStringLiteral("Misbehave on the file stream, for fault tests: refuse, drop:BYTES or stall:BYTES."),
         QStringLiteral("FAULT")},
        {QStringLiteral("server-files"), QStringLiteral("The server's own files, separated by |."),
         QStringLiteral("a.mp4|b.jpg")},
        {QStringLiteral("playlists"), QStringLiteral("Play lists to start with: WINDOW=FILE|FILE, separated by ;."),
         QStringLiteral("01=a.mp4|b.jpg")},
        {QStringLiteral("schemes"),
         QStringLiteral("Timed-play schemes to start with: WINDOW:ID=NAME|FILE|FILE, separated by ;."),
         QStringLiteral("01:01=早间|a.mp4")},
    });

    if (!p.parse(arguments)) {
        result.message = p.errorText();
        return result;
    }
    if (p.isSet(QStringLiteral("help"))) {
        result.action = SimOptions::Action::Help;
        result.message = p.helpText();
        return result;
    }
    if (p.isSet(QStringLiteral("version"))) {
        result.action = SimOptions::Action::Help; // printed like the help
        result.message = QStringLiteral("qeva-sim " QEVA_VERSION "\n");
        return result;
    }

    try {
        if (!p.positionalArguments().isEmpty())
            throw Bad{QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().constFirst())};
        SimConfig &c = result.config;
        c.bindAddress = ipv4(QStringLiteral("bind"), p.value(QStringLiteral("bind")));
        const std::pair<const char *, const char *> familySettings[] = {
            {"media-dir", "QEVA_SIM_MEDIA_DIR"},     {"transfer-fault", "QEVA_SIM_TRANSFER_FAULT"},
            {"server-files", "QEVA_SIM_SERVER_FILES"}, {"playlists", "QEVA_SIM_PLAYLISTS"},
            {"schemes", "QEVA_SIM_SCHEMES"},
        };
        for (const auto &[option, variable] : familySettings)
            if (p.isSet(QLatin1String(option)))
                result.environment.append({QLatin1String(variable), p.value(QLatin1String(option))});
        c.udpPort = port(udp, p.value(udp));
        c.tcpPort = port(tcp, p.value(tcp));
        c.timePort = port(time, p.value(time));
        c.replyPort = port(reply, p.value(reply));
        if (c.udpPort == c.timePort)
            throw Bad{QStringLiteral("--udp-port and --time-port are both %1").arg(c.udpPort)};

        c.announcePort = c.replyPort;
        if (p.isSet(QStringLiteral("announce-to"))) {
            const QString to = p.value(QStringLiteral("announce-to"));
            const qsizetype colon = to.indexOf(QLatin1Char(':'));
            c.announceAddress = ipv4(QStringLiteral("announce-to"), colon < 0 ? to : to.left(colon));
            if (colon >= 0)
                c.announcePort = port(QStringLiteral("announce-to"), to.mid(colon + 1));
        }
        if (p.isSet(QStringLiteral("multicast-interface"))) {
            c.multicastInterface = p.value(QStringLiteral("multicast-interface"));
            if (!findSimInterface(c.multicastInterface))
                throw Bad{QStringLiteral("--multicast-interface: no such interface: %1").arg(c.multicastInterface)};
        }

        c.name = text16(QStringLiteral("name"), p.value(QStringLiteral("name")));
        c.password = text16(QStringLiteral("password"), p.value(QStringLiteral("password")));
        const QString id = p.value(QStringLiteral("id"));
        static const QRegularExpression hex8(QStringLiteral("^[0-9a-fA-F]{8}$"));
        if (!hex8.match(id).hasMatch())
            throw Bad{QStringLiteral("--id: not 8 hex digits: %1").arg(id)};
        c.identifier = id.toUInt(nullptr, 16);
        c.windows = windows(p.value(QStringLiteral("windows")));

        bool ok = false;
        const QString interval = p.value(QStringLiteral("interval-ms"));
        c.intervalMs = interval.toInt(&ok);
        if (!ok || c.intervalMs <= 0)
            throw Bad{QStringLiteral("--interval-ms: not a positive number of milliseconds: %1").arg(interval)};

        c.logFile = p.isSet(QStringLiteral("log")) ? p.value(QStringLiteral("log")) : QStringLiteral("-");
        if (c.logFile.isEmpty())
            throw Bad{QStringLiteral("--log: empty file name")};

        if (p.isSet(QStringLiteral("end-after"))) {
            const QString text = p.value(QStringLiteral("end-after"));
            const double seconds = text.toDouble(&ok);
            // Up to a day; QTimer counts in int milliseconds.
            if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 86400)
                throw Bad{QStringLiteral("--end-after: not a number of seconds (0-86400]: %1").arg(text)};
            c.endAfterMs = int(std::lround(seconds * 1000));
        }
    } catch (const Bad &bad) {
        result.message = bad.message;
        return result;
    }
    result.action = SimOptions::Action::Run;
    return result;
}
