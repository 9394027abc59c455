// scan: the servers that announce themselves, as the discovery screen sees them.
#include "clicall.h"
#include "commandlist.h"

#include <QJsonArray>

namespace {

int scan(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("scan takes no arguments"));
    bool ok = true;
    const auto seconds = c.numberOption(QStringLiteral("seconds"), 1, 600, ok);
    if (!ok)
        return c.status();
    if (!c.connect())
        return c.status();

    const int ms = seconds ? int(*seconds * 1000) : c.globals().scanMs;
    c.session().wait(ms);
    QList<CliTarget> rows;
    for (const CliServer &s : c.session().servers()) {
        CliTarget t;
        t.device = s.device;
        t.seen = true;
        const QStringList windows = s.device.windowIds();
        t.window = windows.isEmpty() ? QString() : windows.first();
        t.field(QStringLiteral("id"), s.device.userId);
        t.field(QStringLiteral("windows"), windows.join(QLatin1Char(',')), QJsonArray::fromStringList(windows));
        QString login = s.locked                       ? QStringLiteral("locked")
                        : !c.globals().session.login ? QStringLiteral("off")
                        : s.loginSent                 ? QStringLiteral("sent")
                                                      : QStringLiteral("failed");
        t.field(QStringLiteral("login"), login);
        t.succeed();
        rows.append(t);
    }
    c.setTargets(rows);
    if (rows.isEmpty()) {
        c.finish();
        c.fail(QStringLiteral("no server answered within %1 s").arg(ms / 1000.0));
        if (const QString why = c.session().groupWarning(); !why.isEmpty())
            c.fail(why);
        return CliStatus::kNoServer;
    }
    return c.finish();
}

} // namespace

QList<CliCommand> discoveryCommands()
{
    CliCommand scanCommand;
    scanCommand.name = QStringLiteral("scan");
    scanCommand.summary = QStringLiteral("List the servers that announce themselves: name, address, id, windows, login.");
    scanCommand.details = QStringLiteral(
        "Listens for server announcements for --seconds (default --scan-seconds) and prints one line per server:\n"
        "its address, name, identifier, play windows and login state. Every run of the tool (this command and\n"
        "the others alike) answers the first announcement it hears from a server with the login frame, once;\n"
        "later announcements of that server in the same run go unanswered. The login column says \"sent\" when\n"
        "the frame went, \"locked\" when --password does not match, \"off\" with --no-login. The protocol does\n"
        "not acknowledge a login.\n"
        "Exits with 3 when no server answered.");
    scanCommand.options = {CliOption{QStringLiteral("seconds"), QStringLiteral("N"),
                                     QStringLiteral("How long to listen (whole seconds, 1-600)."), QChar()}};
    scanCommand.needsServer = false;
    scanCommand.run = scan;
    return {scanCommand};
}
