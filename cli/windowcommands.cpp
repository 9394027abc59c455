// Play windows: the list the announcements carry, add, close, and the
// settings of one window.
#include "clicall.h"
#include "clivalue.h"
#include "commandlist.h"

#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/hexcodec.h"
#include "protocol/windowcommands.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QVariantMap>

namespace {

// The app adds a window only while a server has fewer than two.
constexpr int kMaxWindowsToAdd = 2;

const QStringList kSwitchEffects{
    QStringLiteral("normal"),      QStringLiteral("rotation"),   QStringLiteral("zoom"),
    QStringLiteral("left-right"),  QStringLiteral("right-left"), QStringLiteral("top-bottom"),
    QStringLiteral("bottom-top"),  QStringLiteral("interleave-lr"), QStringLiteral("interleave-ud"),
    QStringLiteral("fade")};

void showWindows(CliTarget &t)
{
    const QStringList ids = t.device.windowIds();
    t.field(QStringLiteral("count"), QString::number(ids.size()), int(ids.size()));
    t.field(QStringLiteral("windows"), ids.join(QLatin1Char(',')), QJsonArray::fromStringList(ids));
}

int windows(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("windows takes no arguments"));
    if (!c.connect())
        return c.status();
    // The windows are known only from the server's announcement.
    c.awaitAnnouncements();
    for (CliTarget &t : c.targets()) {
        if (t.failed())
            continue;
        showWindows(t);
        t.succeed();
    }
    return c.finish();
}

// After an add or close: the server announces its new windows. The frame
// has no acknowledgement, so a silent server is reported, not failed.
void awaitNewWindows(CliCall &c, const QList<QStringList> &before)
{
    const auto changed = [&] {
        for (qsizetype i = 0; i < c.targets().size(); ++i) {
            const CliTarget &t = c.targets().at(i);
            const CliServer *s = c.session().server(t.address());
            if (!t.failed() && (!s || s->device.windowIds() == before.at(i)))
                return false;
        }
        return true;
    };
    c.session().wait(c.globals().timeoutMs, changed);
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        const CliServer *s = c.session().server(t.address());
        if (s && s->device.windowIds() != before.at(i)) {
            t.device = s->device;
            showWindows(t);
        } else {
            t.summary += QStringLiteral("; no new announcement within %1 s").arg(c.globals().timeoutMs / 1000.0);
        }
    });
}

QList<QStringList> currentWindows(CliCall &c)
{
    QList<QStringList> out;
    for (const CliTarget &t : c.targets())
        out << t.device.windowIds();
    return out;
}

int windowAdd(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("window add takes no arguments"));
    if (!c.connect())
        return c.status();
    c.awaitAnnouncements();
    for (CliTarget &t : c.targets())
        if (!t.failed() && t.device.windowIds().size() >= kMaxWindowsToAdd)
            t.fail(QStringLiteral("has %1 windows already; a window is added only to a server with fewer than %2")
                       .arg(t.device.windowIds().size())
                       .arg(kMaxWindowsToAdd));
    const QList<QStringList> before = currentWindows(c);
    c.hand(QStringLiteral("add window sent"), [](CliTarget &) {
        QVmethodLib::sendAddNewWindow();
        return true;
    });
    awaitNewWindows(c, before);
    return c.finish();
}

int windowClose(CliCall &c)
{
    if (c.args().isEmpty())
        return c.usage(QStringLiteral("give the ids of the windows to close"));
    static const QRegularExpression hexByte(QStringLiteral("^[0-9a-fA-F]{1,2}$"));
    QVariantList chosen;
    QStringList ids;
    for (const QString &id : c.args()) {
        if (!hexByte.match(id).hasMatch())
            return c.usage(QStringLiteral("a window id is one hex byte such as 01, not \"%1\"").arg(id));
        const QString text = QStringLiteral("%1").arg(id.toUInt(nullptr, 16), 2, 16, QLatin1Char('0'));
        ids << text;
        chosen << QVariantMap{{QStringLiteral("WinID"), text}, {QStringLiteral("checked"), QStringLiteral("YES")}};
    }
    if (!c.connect())
        return c.status();
    c.awaitAnnouncements();
    // As in the app, only windows the server has can be chosen.
    for (CliTarget &t : c.targets())
        for (const QString &id : ids)
            if (!t.failed() && !t.device.windowIds().contains(id))
                t.fail(QStringLiteral("has no window %1 (its windows: %2)").arg(id, t.device.windowIds().join(QLatin1Char(','))));
    const QList<QStringList> before = currentWindows(c);
    c.hand(QStringLiteral("close %1 sent").arg(ids.join(QLatin1Char(','))), [&](CliTarget &) {
        QVmethodLib::sendCloseNewWindowWithChooseWindow(chosen);
        return true;
    });
    awaitNewWindows(c, before);
    return c.finish();
}

CliExpect windowQuery()
{
    return {QStringLiteral("the window settings query"), {QLatin1String(Catalogue::kWindowInfoReply.codeText)}, {}};
}

using WindowField = QString WindowCommands::WindowRecord::*;

// Asks every target for its window's settings; failed targets get nothing.
QList<std::optional<QMap<QString, QString>>> askWindows(CliCall &c)
{
    QList<std::optional<QMap<QString, QString>>> out(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        out[c.indexOf(t)] = WindowCommands::getPlayWindowInitInfoWithModelNotice(replies.first());
        if (!out[c.indexOf(t)])
            t.fail(QStringLiteral("unreadable reply to the window settings query"));
    };
    c.queryEach(windowQuery(), [](CliTarget &t) { QVmethodLib::getWindowinitializeInfoWithWindowID(t.window); }, read);
    return out;
}

int windowGet(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("window get takes no arguments; the window is --window"));
    if (!c.connect())
        return c.status();
    const auto settings = askWindows(c);
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        const auto s = WindowCommands::WindowRecord::fromReply(*settings[i], t.window);
        for (const auto &[key, field] : {std::pair<const char *, WindowField>{"x", &WindowCommands::WindowRecord::x}, {"y", &WindowCommands::WindowRecord::y},
                                         {"width", &WindowCommands::WindowRecord::width}, {"height", &WindowCommands::WindowRecord::height}})
            t.field(QLatin1String(key), s.*field, (s.*field).toInt());
        const int effect = int(s.effectNumber());
        t.field(QStringLiteral("effect"), effect >= 0 && effect < kSwitchEffects.size() ? kSwitchEffects.at(effect)
                                                                                         : QStringLiteral("code %1").arg(effect));
        t.field(QStringLiteral("interval"), QString::number(s.intervalNumber()), int(s.intervalNumber()));
        t.succeed();
    });
    return c.finish();
}

int windowSet(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("window set takes options only; the window is --window"));
    QList<std::pair<WindowField, QString>> change;
    bool ok = true;
    for (const auto &[option, field] : {std::pair<const char *, WindowField>{"full-screen", &WindowCommands::WindowRecord::fullScreen},
                                        {"on-top", &WindowCommands::WindowRecord::onTop}}) {
        if (!c.isSet(QLatin1String(option)))
            continue;
        const auto on = c.onOff(c.value(QLatin1String(option)), QStringLiteral("--") + QLatin1String(option));
        if (!on)
            return c.status();
        change.append({field, *on ? QStringLiteral("01") : QStringLiteral("02")});
    }
    for (const auto &[option, field] : {std::pair<const char *, WindowField>{"x", &WindowCommands::WindowRecord::x}, {"y", &WindowCommands::WindowRecord::y},
                                        {"width", &WindowCommands::WindowRecord::width}, {"height", &WindowCommands::WindowRecord::height}}) {
        if (const auto v = c.numberOption(QLatin1String(option), 0, 65535, ok))
            change.append({field, QString::number(*v)});
        if (!ok)
            return c.status();
    }
    if (c.isSet(QStringLiteral("effect"))) {
        const auto v = c.choice(c.value(QStringLiteral("effect")), QStringLiteral("--effect"), kSwitchEffects);
        if (!v)
            return c.status();
        change.append({&WindowCommands::WindowRecord::effect, HexCodec::TenToHex(*v)});
    }
    if (const auto v = c.numberOption(QStringLiteral("interval"), 0, 65535, ok))
        change.append({&WindowCommands::WindowRecord::interval, HexCodec::TenToHex(*v)});
    if (!ok)
        return c.status();
    if (change.isEmpty())
        return c.usage(QStringLiteral("nothing to set: give an option"));

    if (!c.connect())
        return c.status();
    // The query first, so that every value not given keeps the server's.
    const auto settings = askWindows(c);
    c.hand(QStringLiteral("window settings sent"), [&](CliTarget &t) {
        WindowCommands::WindowRecord record = WindowCommands::WindowRecord::fromReply(*settings[c.indexOf(t)], t.window);
        for (const auto &[field, value] : change)
            record.*field = value;
        for (const auto &[name, field] : {std::pair<const char *, WindowField>{"x", &WindowCommands::WindowRecord::x}, {"y", &WindowCommands::WindowRecord::y}}) {
            if ((record.*field).startsWith(QLatin1Char('-'))) {
                t.fail(QStringLiteral("the window's %1 position is negative and cannot be sent; give --%1").arg(QLatin1String(name)));
                return false;
            }
        }
        QVmethodLib::sendSetWindowStringWithParameters(record.parameters());
        return true;
    });
    return c.finish();
}

} // namespace

QList<CliCommand> windowCommands()
{
    QList<CliCommand> list{
        cliCommand("windows", "", "List the play windows a server announces.", false, windows,
                   "Waits (up to --scan-seconds) for the server's announcement, which carries its windows."),
        cliCommand("window add", "", "Add a play window (only to a server with fewer than two).", true, windowAdd,
                   "Then waits up to --timeout for the server to announce its new windows and shows them."),
        cliCommand("window close", "ID...", "Close play windows.", true, windowClose,
                   "Then waits up to --timeout for the server to announce its remaining windows and shows them."),
        cliCommand("window get", "", "Show the settings of --window.", false, windowGet),
        cliCommand("window show", "", "Show the settings of --window (the same as window get).", false, windowGet),
        cliCommand("window set", "[OPTIONS]", "Change the settings of --window; the rest keeps the server's values.",
                   true, windowSet,
                   "Asks for the window's settings first. The server does not report full screen and on top;\n"
                   "like the app, they are sent off unless given.\n"
                   "Effects: normal, rotation, zoom, left-right, right-left, top-bottom, bottom-top,\n"
                   "interleave-lr, interleave-ud, fade.",
                   {cliOption("full-screen", "on|off", "Full screen."), cliOption("on-top", "on|off", "Always on top."),
                    cliOption("x", "N", "Position X, 0-65535."), cliOption("y", "N", "Position Y, 0-65535."),
                    cliOption("width", "N", "Width, 0-65535."), cliOption("height", "N", "Height, 0-65535."),
                    cliOption("effect", "NAME", "How the window switches between files."),
                    cliOption("interval", "SECONDS", "Seconds between files, 0-65535.")}),
    };
    // Listing, adding and closing windows concern the server, not --window.
    for (CliCommand &c : list)
        c.usesWindow = c.name != QLatin1String("windows") && c.name != QLatin1String("window add")
                       && c.name != QLatin1String("window close");
    return list;
}
