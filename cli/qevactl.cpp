#include "qevactl.h"

#include "app/appdelegate.h"
#include "clicall.h"
#include "clioptions.h"
#include "core/appcontext.h"
#include "qevaversion.h"
#include "session/commonmanager.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <memory>

namespace {
constexpr double kMaxSeconds = 600;

CliOption opt(const char *name, const char *value, const char *help, char shortName = 0)
{
    return CliOption{QLatin1String(name), QLatin1String(value), QLatin1String(help),
                     shortName ? QChar(QLatin1Char(shortName)) : QChar()};
}

bool looksLikeNumber(const QString &word)
{
    return word.size() > 1 && word.at(0) == QLatin1Char('-') && word.at(1).isDigit();
}

const CliOption *globalOption(const QString &word)
{
    static const QList<CliOption> options = Qevactl::globalOptions();
    for (const CliOption &o : options) {
        if (word.startsWith(QLatin1String("--"))) {
            const QString name = word.mid(2).section(QLatin1Char('='), 0, 0);
            if (o.name == name)
                return &o;
        } else if (word.size() >= 2 && !o.shortName.isNull() && o.shortName == word.at(1)) {
            return &o;
        }
    }
    return nullptr;
}

QString optionLines(const QList<CliOption> &options)
{
    QStringList heads;
    for (const CliOption &o : options) {
        QString head = o.shortName.isNull() ? QStringLiteral("    ") : QStringLiteral("-%1, ").arg(o.shortName);
        head += QStringLiteral("--") + o.name;
        if (!o.valueName.isEmpty())
            head += QLatin1Char(' ') + o.valueName;
        heads << head;
    }
    qsizetype width = 0;
    for (const QString &h : heads)
        width = std::max(width, h.size());
    QString out;
    for (qsizetype i = 0; i < options.size(); ++i)
        out += QStringLiteral("  %1  %2\n").arg(heads.at(i).leftJustified(width), options.at(i).help);
    return out;
}

struct Fail
{
    QString message;
};

quint16 portValue(const CliOptions &o, const QString &name, quint16 fallback)
{
    if (!o.isSet(name))
        return fallback;
    bool ok = false;
    const uint v = o.value(name).toUInt(&ok);
    if (!ok || v < 1 || v > 65535)
        throw Fail{QStringLiteral("--%1 takes a port from 1 to 65535, not \"%2\"").arg(name, o.value(name))};
    return quint16(v);
}

QHostAddress ipv4Value(const CliOptions &o, const QString &name)
{
    QHostAddress a;
    if (!a.setAddress(o.value(name)) || a.protocol() != QAbstractSocket::IPv4Protocol)
        throw Fail{QStringLiteral("--%1 takes an IPv4 address, not \"%2\"").arg(name, o.value(name))};
    return a;
}

// --server: an IPv4 address as four decimal numbers, or a name. Text made of
// digits and dots only is meant as an address; when it is none (300.1.1.1,
// 10.1) it is refused rather than looked for as a name.
QString serverValue(const QString &text)
{
    static const QRegularExpression addressLike(QStringLiteral("^[0-9.]+$"));
    static const QRegularExpression quad(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    if (!addressLike.match(text).hasMatch())
        return text;
    const QRegularExpressionMatch m = quad.match(text);
    QStringList parts;
    for (int i = 1; m.hasMatch() && i <= 4; ++i) {
        const uint part = m.captured(i).toUInt();
        if (part > 255)
            break;
        parts << QString::number(part); // decimal, whatever zeros lead it
    }
    if (parts.size() != 4)
        throw Fail{QStringLiteral("--server: \"%1\" is not an IPv4 address (four numbers from 0 to 255)").arg(text)};
    return parts.join(QLatin1Char('.'));
}

int millisValue(const CliOptions &o, const QString &name, int fallback)
{
    if (!o.isSet(name))
        return fallback;
    bool ok = false;
    const double s = o.value(name).toDouble(&ok);
    if (!ok || !std::isfinite(s) || s <= 0 || s > kMaxSeconds)
        throw Fail{QStringLiteral("--%1 takes seconds, more than 0 and at most %2, not \"%3\"")
                       .arg(name)
                       .arg(kMaxSeconds)
                       .arg(o.value(name))};
    return std::max(1, int(std::lround(s * 1000)));
}
}

Qevactl::Qevactl(QList<CliCommand> commands, QTextStream &out, QTextStream &err)
    : m_commands(std::move(commands))
    , m_out(out)
    , m_err(err)
{
}

QList<CliOption> Qevactl::globalOptions()
{
    return {
        opt("server", "ADDR|NAME",
            "The server: an IPv4 address (no scan needed) or a server name (found by a scan). "
            "Default: $QEVACTL_SERVER.", 's'),
        opt("all", "", "Act on every server that answers a scan, in parallel; one line per server.", 'a'),
        opt("window", "ID",
            "The play window, a hex byte such as 01 (default: the server's first window, else 01). A server found "
            "by a scan must have announced it.", 'w'),
        opt("timeout", "SECONDS", "How long to wait for a reply (default 3).", 't'),
        opt("scan-seconds", "SECONDS", "How long a scan listens for announcements (default 3)."),
        opt("password", "PASSWORD", "Refuse servers whose announced password is another one."),
        opt("user", "NAME", "The user name the login frame carries (default: this machine's name)."),
        opt("no-login", "", "Do not answer a server's first announcement with the login frame (sent once per run)."),
        opt("json", "",
            "Machine-readable output: one JSON object per server and line, with \"server\" (address, name, window), "
            "\"ok\", \"error\" or \"result\", and the command's own keys."),
        opt("verbose", "", "Write the protocol log (every frame sent and received) to standard error.", 'v'),
        opt("bind", "ADDR", "Address the client's sockets bind to (default 0.0.0.0)."),
        opt("port", "PORT", "The client's receiving port for announcements and replies (default 5760)."),
        opt("server-port", "PORT", "A server's control port (default 5760)."),
        opt("file-port", "PORT", "A server's file port (default 5761)."),
        opt("time-port", "PORT", "A server's volume and time port (default 5762)."),
        opt("phone-address", "ADDR",
            "The address servers answer to (default: the bind address when one is given, else the one found on "
            "the interfaces)."),
        opt("multicast-interface", "IFACE", "Interface (name or address) to join the group 239.9.9.1 on."),
        opt("documents", "DIR", "Folder for the database and the preferences (default: a temporary one per run)."),
        opt("preferences", "FILE", "Preferences file (default: in the documents folder)."),
        opt("help", "", "Show help (also after a command: qevactl volume --help).", 'h'),
        opt("version", "", "Show the version."),
    };
}

QString Qevactl::helpText() const
{
    QString out = QStringLiteral(
        "Usage: qevactl [OPTIONS] COMMAND [ARGUMENTS]\n\n"
        "Remote control for QEVA video playback servers from a shell: every action of the app, for scripts,\n"
        "headless machines and many servers at once.\n\n"
        "Commands:\n");
    QStringList heads;
    const QList<CliCommand> &commands = m_commands.all();
    for (const CliCommand &c : commands)
        heads << (c.synopsis.isEmpty() ? c.name : c.name + QLatin1Char(' ') + c.synopsis);
    qsizetype width = 0;
    for (const QString &h : heads)
        width = std::max(width, std::min<qsizetype>(h.size(), 34));
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const QString &h = heads.at(i);
        if (h.size() > width)
            out += QStringLiteral("  %1\n  %2  %3\n").arg(h, QString(width, QLatin1Char(' ')), commands.at(i).summary);
        else
            out += QStringLiteral("  %1  %2\n").arg(h.leftJustified(width), commands.at(i).summary);
    }
    out += QStringLiteral("  help [COMMAND]\n\nOptions:\n");
    out += optionLines(globalOptions());
    out += QStringLiteral(
        "\nQueries wait for their reply up to --timeout. Set commands have no acknowledgement in the protocol:\n"
        "they succeed when the frame was handed to the network, as the app reports \"set successfully\".\n\n"
        "Exit status: 0 done on every server; 1 a server did not answer or a frame could not be sent;\n"
        "2 bad arguments (nothing was sent), also a value that only a server's announcement or reply can check,\n"
        "such as a volume above its maximum or a window it does not have (that server was sent no change);\n"
        "3 no server answered the scan (or none of that name).\n");
    return out;
}

QString Qevactl::commandHelp(const CliCommand &c) const
{
    QString out = QStringLiteral("Usage: qevactl [OPTIONS] %1%2%3\n\n%4\n")
                      .arg(c.name, c.synopsis.isEmpty() ? QString() : QStringLiteral(" "), c.synopsis, c.summary);
    if (!c.details.isEmpty())
        out += QLatin1Char('\n') + c.details + QLatin1Char('\n');
    if (!c.options.isEmpty())
        out += QStringLiteral("\nOptions:\n") + optionLines(c.options);
    const QList<CliCommand> subs = m_commands.group(c.name);
    if (!subs.isEmpty()) {
        out += QStringLiteral("\nSubcommands:\n");
        for (const CliCommand &s : subs)
            out += QStringLiteral("  %1 %2\n      %3\n").arg(s.name, s.synopsis, s.summary);
    }
    if (c.needsServer)
        out += c.changes ? QStringLiteral("\nActs on --server, or with --all on every server found, one line each.\n"
                                          "Success means the frame was handed over: the protocol has no "
                                          "acknowledgement.\n")
                         : QStringLiteral("\nActs on --server, or with --all on every server found, one line each.\n"
                                          "Waits up to --timeout for the answer.\n");
    out += QStringLiteral("Global options: qevactl --help.\n");
    return out;
}

QString Qevactl::groupHelp(const QString &group) const
{
    QString out = QStringLiteral("Usage: qevactl [OPTIONS] %1 SUBCOMMAND [ARGUMENTS]\n\nSubcommands:\n").arg(group);
    for (const CliCommand &s : m_commands.group(group))
        out += QStringLiteral("  %1 %2\n      %3\n").arg(s.name, s.synopsis, s.summary);
    out += QStringLiteral("\nqevactl %1 SUBCOMMAND --help shows one of them.\n").arg(group);
    return out;
}

int Qevactl::help(const QStringList &words)
{
    if (words.isEmpty()) {
        m_out << helpText();
        return CliStatus::kOk;
    }
    const QString two = words.size() >= 2 ? words.at(0) + QLatin1Char(' ') + words.at(1) : QString();
    if (const CliCommand *c = m_commands.find(two)) {
        m_out << commandHelp(*c);
        return CliStatus::kOk;
    }
    if (const CliCommand *c = m_commands.find(words.at(0))) {
        m_out << commandHelp(*c);
        return CliStatus::kOk;
    }
    if (!m_commands.group(words.at(0)).isEmpty()) {
        m_out << groupHelp(words.at(0));
        return CliStatus::kOk;
    }
    m_err << "qevactl: no command \"" << words.join(QLatin1Char(' ')) << "\"\nTry 'qevactl --help'.\n";
    return CliStatus::kUsage;
}

int Qevactl::run(const QStringList &arguments)
{
    const QStringList args = arguments.mid(1);

    // The command is the first word that is neither a global option nor its value.
    qsizetype at = -1;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &w = args.at(i);
        if (w == QLatin1String("--"))
            break;
        if (w.startsWith(QLatin1Char('-')) && w != QLatin1String("-") && !looksLikeNumber(w)) {
            const CliOption *o = globalOption(w);
            if (!o)
                break; // reported by the full parse below
            const bool inlineValue = w.startsWith(QLatin1String("--")) ? w.contains(QLatin1Char('=')) : w.size() > 2;
            if (!o->valueName.isEmpty() && !inlineValue)
                ++i;
            continue;
        }
        at = i;
        break;
    }

    QList<CliOption> options = globalOptions();
    const CliCommand *command = nullptr;
    QStringList rest = args;
    if (at >= 0) {
        const QString first = args.at(at);
        const QString second = at + 1 < args.size() ? args.at(at + 1) : QString();
        if ((command = m_commands.find(first + QLatin1Char(' ') + second))) {
            rest.remove(at, 2);
        } else if ((command = m_commands.find(first))) {
            rest.remove(at, 1);
        } else if (first == QLatin1String("help")) {
            rest.remove(at, 1);
            const CliOptions parsed = CliOptions::parse(rest, options);
            return help(parsed.positionals());
        } else if (!m_commands.group(first).isEmpty()) {
            rest.remove(at, 1);
            const CliOptions parsed = CliOptions::parse(rest, options);
            if (parsed.isSet(QStringLiteral("help"))) {
                m_out << groupHelp(first);
                return CliStatus::kOk;
            }
            m_err << "qevactl: " << first << " needs a subcommand"
                  << (second.isEmpty() ? QString() : QStringLiteral(", not \"%1\"").arg(second)) << "\n"
                  << groupHelp(first);
            return CliStatus::kUsage;
        } else {
            m_err << "qevactl: unknown command \"" << first << "\"\nTry 'qevactl --help'.\n";
            return CliStatus::kUsage;
        }
        options += command->options;
    }

    const CliOptions parsed = CliOptions::parse(rest, options);
    if (!parsed.ok()) {
        m_err << "qevactl: " << parsed.error() << "\nTry 'qevactl " << (command ? command->name + QLatin1Char(' ') : QString())
              << "--help'.\n";
        return CliStatus::kUsage;
    }
    if (parsed.isSet(QStringLiteral("help"))) {
        m_out << (command ? commandHelp(*command) : helpText());
        return CliStatus::kOk;
    }
    if (parsed.isSet(QStringLiteral("version"))) {
        m_out << "qevactl " << QEVA_VERSION << "\n";
        return CliStatus::kOk;
    }
    if (!command) {
        if (!parsed.positionals().isEmpty()) {
            m_err << "qevactl: unknown command \"" << parsed.positionals().first() << "\"\n";
            return CliStatus::kUsage;
        }
        m_err << helpText();
        return CliStatus::kUsage;
    }

    // Global options: every one is checked before the context exists.
    ContextConfig config;
    CliCall::Globals globals;
    try {
        if (parsed.isSet(QStringLiteral("bind")))
            config.bindAddress = ipv4Value(parsed, QStringLiteral("bind"));
        config.localPort = portValue(parsed, QStringLiteral("port"), config.localPort);
        config.serverPort = portValue(parsed, QStringLiteral("server-port"), config.serverPort);
        config.serverFilePort = portValue(parsed, QStringLiteral("file-port"), config.serverFilePort);
        config.serverTimePort = portValue(parsed, QStringLiteral("time-port"), config.serverTimePort);
        if (parsed.isSet(QStringLiteral("phone-address")))
            config.phoneAddress = ipv4Value(parsed, QStringLiteral("phone-address")).toString();
        else if (config.bindAddress != QHostAddress(QHostAddress::AnyIPv4))
            config.phoneAddress = config.bindAddress.toString();
        config.multicastInterface = parsed.value(QStringLiteral("multicast-interface"));
        config.documentsDir = parsed.value(QStringLiteral("documents"));
        config.preferencesFile = parsed.value(QStringLiteral("preferences"));

        globals.timeoutMs = millisValue(parsed, QStringLiteral("timeout"), globals.timeoutMs);
        globals.scanMs = millisValue(parsed, QStringLiteral("scan-seconds"), globals.scanMs);
        globals.json = parsed.isSet(QStringLiteral("json"));
        globals.all = parsed.isSet(QStringLiteral("all"));
        globals.server = parsed.value(QStringLiteral("server"));
        if (parsed.isSet(QStringLiteral("window"))) {
            static const QRegularExpression hexByte(QStringLiteral("^[0-9a-fA-F]{1,2}$"));
            const QString w = parsed.value(QStringLiteral("window"));
            if (!hexByte.match(w).hasMatch())
                throw Fail{QStringLiteral("--window takes a window id, one hex byte such as 01, not \"%1\"").arg(w)};
            globals.window = QStringLiteral("%1").arg(w.toUInt(nullptr, 16), 2, 16, QLatin1Char('0'));
        }
        if (parsed.isSet(QStringLiteral("password")))
            globals.session.password = parsed.value(QStringLiteral("password"));
        globals.session.login = !parsed.isSet(QStringLiteral("no-login"));
        globals.session.userName = parsed.isSet(QStringLiteral("user")) ? parsed.value(QStringLiteral("user"))
                                                                        : QSysInfo::machineHostName();
        if (globals.session.userName.toUtf8().size() > 0xffff)
            throw Fail{QStringLiteral("--user is longer than 65535 bytes")};

        if (command->needsServer) {
            if (globals.all && parsed.isSet(QStringLiteral("server")))
                throw Fail{QStringLiteral("give either --server or --all, not both")};
            if (!globals.all && globals.server.isEmpty())
                globals.server = qEnvironmentVariable("QEVACTL_SERVER");
            if (!globals.all && globals.server.isEmpty())
                throw Fail{QStringLiteral("no server: give --server ADDR|NAME or --all")};
            if (!globals.all) {
                globals.server = serverValue(globals.server);
                // One server: the announcements of the others are of no use.
                globals.session.only = globals.server;
            }
        } else if (globals.all || parsed.isSet(QStringLiteral("server"))) {
            throw Fail{QStringLiteral("%1 takes neither --server nor --all").arg(command->name)};
        }
    } catch (const Fail &f) {
        m_err << "qevactl " << command->name << ": " << f.message << "\nTry 'qevactl " << command->name
              << " --help'.\n";
        return CliStatus::kUsage;
    }

    QLoggingCategory::setFilterRules(parsed.isSet(QStringLiteral("verbose"))
                                         ? QStringLiteral("qeva.*.info=true\nqeva.*.debug=false")
                                         : QStringLiteral("qeva.*.info=false\nqeva.*.debug=false"));

    // A run keeps nothing unless a folder is given.
    std::unique_ptr<QTemporaryDir> scratch;
    if (config.documentsDir.isEmpty()) {
        scratch = std::make_unique<QTemporaryDir>();
        config.documentsDir = scratch->path();
    }
    AppContext ctx(config);
    // Each server is reached from the address on the way to it.
    ctx.shared<AppDelegate>().followSelectedServer();

    CliCall call(*command, parsed, parsed.positionals(), globals, ctx, m_out, m_err);
    const int status = command->run(call);
    m_out.flush();
    m_err.flush();
    return status;
}
