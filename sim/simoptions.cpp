#include "simoptions.h"
#include "qevaversion.h"

#include "playlistfamily.h"
#include "transferfamily.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace {
// Reads option values in turn; after the first bad one every later read
// is skipped, and error() says what was wrong.
class Reader
{
public:
    explicit Reader(const QCommandLineParser &parser) : m_parser(parser) {}

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    bool isSet(const char *option) const { return m_parser.isSet(QLatin1String(option)); }
    QString value(const char *option) const { return m_parser.value(QLatin1String(option)); }

    bool fail(const QString &message)
    {
        if (ok())
            m_error = message;
        return false;
    }

    QHostAddress ipv4(const char *option, const QString &text)
    {
        const QHostAddress address(text);
        if (address.protocol() != QAbstractSocket::IPv4Protocol)
            fail(QStringLiteral("--%1: not an IPv4 address: %2").arg(QLatin1String(option), text));
        return address;
    }

    quint16 port(const char *option, const QString &text)
    {
        bool isNumber = false;
        const uint v = text.toUInt(&isNumber);
        if (!isNumber || v < 1 || v > 65535) {
            fail(QStringLiteral("--%1: not a port (1-65535): %2").arg(QLatin1String(option), text));
            return 0;
        }
        return quint16(v);
    }
    quint16 port(const char *option) { return port(option, value(option)); }

    // A whole number from min to max; the default when the option is not given.
    qint64 number(const char *option, qint64 fallback, qint64 min, qint64 max)
    {
        if (!isSet(option))
            return fallback;
        const QString text = value(option);
        bool isNumber = false;
        const qint64 v = text.toLongLong(&isNumber);
        if (!isNumber || v < min || v > max) {
            fail(QStringLiteral("--%1: not a whole number from %2 to %3: %4").arg(QLatin1String(option)).arg(min).arg(max).arg(text));
            return fallback;
        }
        return v;
    }

    QString text16(const char *option)
    {
        const QString text = value(option);
        if (text.toUtf8().size() > 0xffff)
            fail(QStringLiteral("--%1: longer than 65535 bytes").arg(QLatin1String(option)));
        return text;
    }

    std::optional<quint8> hexByte(const char *option, const QString &text, const char *what)
    {
        static const QRegularExpression pattern(QStringLiteral("^[0-9a-fA-F]{1,2}$"));
        if (!pattern.match(text).hasMatch()) {
            fail(QStringLiteral("--%1: not a %2 (hex byte): \"%3\"").arg(QLatin1String(option), QLatin1String(what), text));
            return std::nullopt;
        }
        return quint8(text.toUInt(nullptr, 16));
    }

    // Names a server can list: see PlayListFamily::acceptableName.
    QStringList names(const char *option, const QString &text)
    {
        QStringList out;
        for (const QString &name : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            if (!PlayListFamily::acceptableName(name.toUtf8())) {
                fail(QStringLiteral("--%1: a name a list reply cannot carry: \"%2\"").arg(QLatin1String(option), name));
                return {};
            }
            out << name;
        }
        return out;
    }

    QList<SimWindow> windows(const QString &text)
    {
        QList<SimWindow> out;
        if (text.trimmed().isEmpty())
            return out;
        QSet<int> seen;
        for (const QString &part : text.split(QLatin1Char(','))) {
            const auto id = hexByte("windows", part.trimmed(), "window id");
            if (!id)
                return {};
            if (seen.contains(*id)) {
                fail(QStringLiteral("--windows: window %1 given twice").arg(part.trimmed()));
                return {};
            }
            seen.insert(*id);
            out.append(SimWindow{*id, 0, 0});
        }
        return out;
    }

    // "01=a.mp4|b.jpg;02=c.mp4"
    QList<QPair<quint8, QStringList>> playLists(const QString &text)
    {
        QList<QPair<quint8, QStringList>> out;
        for (const QString &list : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype eq = list.indexOf(QLatin1Char('='));
            if (eq < 0) {
                fail(QStringLiteral("--playlists: not WINDOW=FILE|FILE: \"%1\"").arg(list));
                return {};
            }
            const auto window = hexByte("playlists", list.left(eq).trimmed(), "window id");
            const QStringList files = names("playlists", list.mid(eq + 1));
            if (!ok())
                return {};
            out.append({*window, files});
        }
        return out;
    }

    // "01:01=早间|a.mp4|b.mp4;01:02=晚间|c.mp4"
    QList<SimSchemeSeed> schemes(const QString &text)
    {
        QList<SimSchemeSeed> out;
        for (const QString &entry : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype colon = entry.indexOf(QLatin1Char(':'));
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            const QStringList parts = entry.mid(eq + 1).split(QLatin1Char('|'));
            if (colon < 0 || eq < colon || parts.first().isEmpty()) {
                fail(QStringLiteral("--schemes: not WINDOW:ID=NAME|FILE|FILE: \"%1\"").arg(entry));
                return {};
            }
            SimSchemeSeed s;
            const auto window = hexByte("schemes", entry.left(colon).trimmed(), "window id");
            const auto id = hexByte("schemes", entry.mid(colon + 1, eq - colon - 1).trimmed(), "scheme id");
            s.name = parts.first();
            s.files = names("schemes", parts.mid(1).join(QLatin1Char('|')));
            if (s.name.toUtf8().size() > 0xffff)
                fail(QStringLiteral("--schemes: a name longer than 65535 bytes"));
            if (!ok())
                return {};
            s.window = *window;
            s.id = *id;
            out.append(s);
        }
        return out;
    }

private:
    const QCommandLineParser &m_parser;
    QString m_error;
};

void addOptions(QCommandLineParser &p, const SimConfig &d)
{
    const SimLimits &l = d.limits;
    const auto number = [](auto v) { return QString::number(v); };
    p.addOptions({
        {QStringLiteral("bind"), QStringLiteral("Local IPv4 address of every port (default 0.0.0.0)."), QStringLiteral("ADDR"),
         QStringLiteral("0.0.0.0")},
        {QStringLiteral("announce-to"),
         QStringLiteral("Where the announcement goes: a unicast or broadcast address, or a multicast group; PORT "
                        "defaults to the reply port (default 239.9.9.1:5760)."),
         QStringLiteral("ADDR[:PORT]")},
        {QStringLiteral("multicast-interface"),
         QStringLiteral("Interface (name or one of its addresses) that group announcements leave by."),
         QStringLiteral("ADDR-or-NAME")},
        {QStringLiteral("name"), QStringLiteral("Server name (default %1).").arg(d.name), QStringLiteral("NAME"), d.name},
        {QStringLiteral("password"), QStringLiteral("Server password (default %1).").arg(d.password),
         QStringLiteral("PASSWORD"), d.password},
        {QStringLiteral("id"), QStringLiteral("Server identifier, 8 hex digits (default 00000001)."), QStringLiteral("HEX8"),
         QStringLiteral("00000001")},
        {QStringLiteral("windows"), QStringLiteral("Ids of the play windows, hex bytes separated by commas (default 01)."),
         QStringLiteral("01,02"), QStringLiteral("01")},
        {QStringLiteral("interval-ms"), QStringLiteral("Announcement period in milliseconds (default 2000)."),
         QStringLiteral("MS"), QStringLiteral("2000")},
        {QStringLiteral("udp-port"), QStringLiteral("UDP control port (default 5760)."), QStringLiteral("PORT"),
         QStringLiteral("5760")},
        {QStringLiteral("tcp-port"), QStringLiteral("TCP file stream port (default 5761)."), QStringLiteral("PORT"),
         QStringLiteral("5761")},
        {QStringLiteral("time-port"), QStringLiteral("UDP volume and time port (default 5762)."), QStringLiteral("PORT"),
         QStringLiteral("5762")},
        {QStringLiteral("reply-port"), QStringLiteral("The phone's port that replies go to (default 5760)."),
         QStringLiteral("PORT"), QStringLiteral("5760")},
        {QStringLiteral("log"), QStringLiteral("Append the log to FILE instead of standard output."), QStringLiteral("FILE")},
        {QStringLiteral("end-after"),
         QStringLiteral("After SECONDS send 5003 to every phone that logged in, then keep running (SIGUSR1 does "
                        "the same at any time)."),
         QStringLiteral("SECONDS")},
        {QStringLiteral("media-dir"), QStringLiteral("Folder that received files are stored in (default: a temporary one)."),
         QStringLiteral("DIR")},
        {QStringLiteral("transfer-fault"),
         QStringLiteral("Misbehave on the file stream, for fault tests: refuse, drop:BYTES or stall:BYTES."),
         QStringLiteral("FAULT")},
        {QStringLiteral("server-files"),
         QStringLiteral("The server's own files, separated by |. Play lists and schemes take their files from these "
                        "and from received ones."),
         QStringLiteral("a.mp4|b.jpg")},
        {QStringLiteral("playlists"), QStringLiteral("Play lists to start with: WINDOW=FILE|FILE, separated by ;."),
         QStringLiteral("01=a.mp4|b.jpg")},
        {QStringLiteral("schemes"),
         QStringLiteral("Timed-play schemes to start with: WINDOW:ID=NAME|FILE|FILE, separated by ;."),
         QStringLiteral("01:01=早间|a.mp4")},
        {QStringLiteral("max-playlist"),
         QStringLiteral("Entries a window's play list holds at most (default %1).").arg(l.playListEntries), QStringLiteral("N")},
        {QStringLiteral("max-name-bytes"),
         QStringLiteral("Bytes of a play-list entry's or scheme file's name at most (default %1).").arg(l.nameBytes),
         QStringLiteral("N")},
        {QStringLiteral("max-schemes"), QStringLiteral("Timed-play schemes per window at most (default %1).").arg(l.schemesPerWindow),
         QStringLiteral("N")},
        {QStringLiteral("max-scheme-files"), QStringLiteral("Files per scheme at most (default %1).").arg(l.filesPerScheme),
         QStringLiteral("N")},
        {QStringLiteral("replies-per-second"),
         QStringLiteral("Datagrams sent at most per second for the requests of one peer (default %1).").arg(l.repliesPerSecond),
         QStringLiteral("N")},
        {QStringLiteral("memory-log-bytes"),
         QStringLiteral("Memory the log lines kept in memory take at most (default %1).").arg(number(l.memoryLogBytes)),
         QStringLiteral("BYTES")},
        {QStringLiteral("log-max-bytes"),
         QStringLiteral("Size at which the log file moves to FILE.1 and a new one begins (default %1).")
             .arg(number(l.logFileBytes)),
         QStringLiteral("BYTES")},
        {QStringLiteral("tcp-idle-ms"),
         QStringLiteral("Closes a file connection that sends nothing for MS while an announcement or content is "
                        "due (default %1).")
             .arg(l.tcpIdleMs),
         QStringLiteral("MS")},
        {QStringLiteral("tcp-per-peer"),
         QStringLiteral("File connections one address may hold open at once (default %1).").arg(l.tcpPerPeer),
         QStringLiteral("N")},
        {QStringLiteral("tcp-max-connections"),
         QStringLiteral("File connections open at once from everyone (default %1).").arg(l.tcpConnections), QStringLiteral("N")},
    });
}

void readLimits(Reader &r, SimLimits &l)
{
    l.playListEntries = int(r.number("max-playlist", l.playListEntries, 1, 65535));
    l.nameBytes = int(r.number("max-name-bytes", l.nameBytes, 1, 65535));
    l.schemesPerWindow = int(r.number("max-schemes", l.schemesPerWindow, 1, 256));
    l.filesPerScheme = int(r.number("max-scheme-files", l.filesPerScheme, 1, 65535));
    l.repliesPerSecond = int(r.number("replies-per-second", l.repliesPerSecond, 1, 1000000));
    l.memoryLogBytes = r.number("memory-log-bytes", l.memoryLogBytes, 4096, qint64(1) << 34);
    l.logFileBytes = r.number("log-max-bytes", l.logFileBytes, 4096, qint64(1) << 40);
    l.tcpIdleMs = int(r.number("tcp-idle-ms", l.tcpIdleMs, 100, 86400000));
    l.tcpPerPeer = int(r.number("tcp-per-peer", l.tcpPerPeer, 1, 4096));
    l.tcpConnections = int(r.number("tcp-max-connections", l.tcpConnections, 1, 4096));
}

void readFamilySettings(Reader &r, SimConfig &c)
{
    if (r.isSet("media-dir")) {
        c.mediaDir = r.value("media-dir");
        if (c.mediaDir.isEmpty())
            r.fail(QStringLiteral("--media-dir: empty folder name"));
    }
    if (r.isSet("transfer-fault")) {
        c.transferFault = r.value("transfer-fault");
        if (!TransferFamily::parseFault(c.transferFault))
            r.fail(QStringLiteral("--transfer-fault: not refuse, drop:BYTES or stall:BYTES: %1").arg(c.transferFault));
    }
    if (r.isSet("server-files"))
        c.serverFiles = r.names("server-files", r.value("server-files"));
    if (r.isSet("playlists"))
        c.playLists = r.playLists(r.value("playlists"));
    if (r.isSet("schemes"))
        c.schemes = r.schemes(r.value("schemes"));
}

void readAddresses(Reader &r, SimConfig &c)
{
    c.bindAddress = r.ipv4("bind", r.value("bind"));
    c.udpPort = r.port("udp-port");
    c.tcpPort = r.port("tcp-port");
    c.timePort = r.port("time-port");
    c.replyPort = r.port("reply-port");
    if (r.ok() && c.udpPort == c.timePort)
        r.fail(QStringLiteral("--udp-port and --time-port are both %1").arg(c.udpPort));

    c.announcePort = c.replyPort;
    if (r.isSet("announce-to")) {
        const QString to = r.value("announce-to");
        const qsizetype colon = to.indexOf(QLatin1Char(':'));
        c.announceAddress = r.ipv4("announce-to", colon < 0 ? to : to.left(colon));
        if (colon >= 0)
            c.announcePort = r.port("announce-to", to.mid(colon + 1));
    }
    if (r.isSet("multicast-interface")) {
        c.multicastInterface = r.value("multicast-interface");
        if (!findSimInterface(c.multicastInterface))
            r.fail(QStringLiteral("--multicast-interface: no such interface: %1").arg(c.multicastInterface));
    }
}

void readServer(Reader &r, SimConfig &c)
{
    c.name = r.text16("name");
    c.password = r.text16("password");
    const QString id = r.value("id");
    static const QRegularExpression hex8(QStringLiteral("^[0-9a-fA-F]{8}$"));
    if (!hex8.match(id).hasMatch())
        r.fail(QStringLiteral("--id: not 8 hex digits: %1").arg(id));
    c.identifier = id.toUInt(nullptr, 16);
    c.windows = r.windows(r.value("windows"));
    if (c.windows.size() > 255)
        r.fail(QStringLiteral("--windows: more than 255 windows"));

    bool isNumber = false;
    const QString interval = r.value("interval-ms");
    c.intervalMs = interval.toInt(&isNumber);
    if (!isNumber || c.intervalMs <= 0)
        r.fail(QStringLiteral("--interval-ms: not a positive number of milliseconds: %1").arg(interval));

    c.logFile = r.isSet("log") ? r.value("log") : QStringLiteral("-");
    if (c.logFile.isEmpty())
        r.fail(QStringLiteral("--log: empty file name"));

    if (r.isSet("end-after")) {
        const QString text = r.value("end-after");
        const double seconds = text.toDouble(&isNumber);
        // Up to a day; QTimer counts in int milliseconds.
        if (!isNumber || !std::isfinite(seconds) || seconds <= 0 || seconds > 86400)
            r.fail(QStringLiteral("--end-after: not a number of seconds (0-86400]: %1").arg(text));
        else
            c.endAfterMs = int(std::lround(seconds * 1000));
    }
}
}

SimOptions parseSimArguments(const QStringList &arguments)
{
    SimOptions result;
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulates a QEVA playback server: announces itself, takes logins and answers the phone's requests."));
    p.addHelpOption();
    p.addOption({QStringLiteral("version"), QStringLiteral("Show the version.")});
    addOptions(p, SimConfig());
    result.usage = QStringLiteral("Usage: qeva-sim [options]; qeva-sim --help lists them.");

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

    Reader r(p);
    if (!p.positionalArguments().isEmpty())
        r.fail(QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().constFirst()));
    SimConfig &c = result.config;
    readAddresses(r, c);
    readServer(r, c);
    readFamilySettings(r, c);
    readLimits(r, c.limits);
    if (!r.ok()) {
        result.message = r.error();
        return result;
    }
    result.action = SimOptions::Action::Run;
    return result;
}
