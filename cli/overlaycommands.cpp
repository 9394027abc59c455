// Overlays: inserted scrolling text, the clock overlay and animation effects.
#include "clicall.h"
#include "clivalue.h"
#include "commandlist.h"

#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/colorlist.h"
#include "protocol/overlaycommands.h"

namespace {

const QStringList kClockTypes{QStringLiteral("virtual"), QStringLiteral("digital")};
const QStringList kEffects{QStringLiteral("rotation"), QStringLiteral("movement"), QStringLiteral("scene-1"),
                           QStringLiteral("scene-2"), QStringLiteral("scene-3")};

QString onOffText(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString entry(const QStringList &names, int i)
{
    return i >= 0 && i < names.size() ? names.at(i) : QStringLiteral("code %1").arg(i);
}

// --- inserted text -----------------------------------------------------------

CliExpect textQuery()
{
    return {QStringLiteral("the text query"), {QLatin1String(Catalogue::kSpotWordsReply.codeText)}, {}};
}

using TextField = QString OverlayCommands::SpotWordsRecord::*;
using ClockField = QString OverlayCommands::ClockRecord::*;

int text(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("text takes no arguments (did you mean text set?)"));
    if (!c.connect())
        return c.status();
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        const auto r = OverlayCommands::getSpotWordsInitInfoWithModelNotice(replies.first());
        if (!r) {
            t.fail(QStringLiteral("unreadable reply to the text query"));
            return;
        }
        const auto record = OverlayCommands::SpotWordsRecord::fromReply(*r);
        t.field(QStringLiteral("text"), record.text);
        t.field(QStringLiteral("effect"), onOffText(record.effect == QLatin1String("01")));
        t.field(QStringLiteral("speed"), record.speed, record.speed.toInt());
        t.field(QStringLiteral("color"), entry(CliValue::colorNames(), record.colorRow()));
        t.field(QStringLiteral("direction"), entry(CliValue::directionNames(), record.directionRow()));
        for (const auto &[key, field] : {std::pair<const char *, TextField>{"size", &OverlayCommands::SpotWordsRecord::size},
                                         {"x", &OverlayCommands::SpotWordsRecord::x},
                                         {"y", &OverlayCommands::SpotWordsRecord::y},
                                         {"z", &OverlayCommands::SpotWordsRecord::z}})
            t.field(QLatin1String(key), record.*field, (record.*field).toInt());
        t.succeed();
    };
    c.queryEach(textQuery(), [](CliTarget &) { QVmethodLib::sendWordsinitializeInfo(); }, read);
    return c.finish();
}

int textSet(CliCall &c)
{
    if (c.args().size() > 1)
        return c.usage(QStringLiteral("give the text as one argument (quote it)"));
    QList<std::pair<TextField, QString>> change;
    if (c.args().size() == 1) {
        if (c.args().first().isEmpty())
            return c.usage(QStringLiteral("the text is empty; a server shows no empty text"));
        change.append({&OverlayCommands::SpotWordsRecord::text, c.args().first()});
    }
    bool ok = true;
    if (c.isSet(QStringLiteral("effect"))) {
        const auto on = c.onOff(c.value(QStringLiteral("effect")), QStringLiteral("--effect"));
        if (!on)
            return c.status();
        change.append({&OverlayCommands::SpotWordsRecord::effect, *on ? QStringLiteral("01") : QStringLiteral("00")});
    }
    if (c.isSet(QStringLiteral("color"))) {
        const auto v = CliValue::color(c.value(QStringLiteral("color")));
        if (!v)
            return c.usage(QStringLiteral("--color must be a colour (%1, or 0-12), not \"%2\"")
                               .arg(CliValue::colorNames().join(QLatin1String(", ")), c.value(QStringLiteral("color"))));
        change.append({&OverlayCommands::SpotWordsRecord::color, ColorList::code(*v)});
    }
    if (c.isSet(QStringLiteral("direction"))) {
        const auto v = c.choice(c.value(QStringLiteral("direction")), QStringLiteral("--direction"), CliValue::directionNames());
        if (!v)
            return c.status();
        change.append({&OverlayCommands::SpotWordsRecord::direction, QStringLiteral("0%1").arg(*v)});
    }
    for (const auto &[option, field, max] : {std::tuple<const char *, TextField, int>{"speed", &OverlayCommands::SpotWordsRecord::speed, 255},
                                             {"size", &OverlayCommands::SpotWordsRecord::size, 255},
                                             {"x", &OverlayCommands::SpotWordsRecord::x, 65535},
                                             {"y", &OverlayCommands::SpotWordsRecord::y, 65535},
                                             {"z", &OverlayCommands::SpotWordsRecord::z, 65535}}) {
        if (const auto v = c.numberOption(QLatin1String(option), 0, max, ok))
            change.append({field, QString::number(*v)});
        if (!ok)
            return c.status();
    }
    if (change.isEmpty())
        return c.usage(QStringLiteral("nothing to set: give TEXT or an option"));
    // The text's length has a limit of its own: one datagram.
    OverlayCommands::SpotWordsRecord probe;
    probe.effect = probe.color = probe.direction = QStringLiteral("00");
    for (const auto &[field, value] : change)
        probe.*field = value;
    QString misfit;
    if (!OverlayCommands::spotWords(probe.parameters(), &misfit))
        return c.usage(QStringLiteral("%1 does not fit its field").arg(misfit == OverlayCommands::SpotWordsRecord::textKey() ? QStringLiteral("the text") : misfit));

    if (!c.connect())
        return c.status();
    // The query first, so that every field not given keeps the server's value.
    QList<OverlayCommands::SpotWordsRecord> records(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        const auto r = OverlayCommands::getSpotWordsInitInfoWithModelNotice(replies.first());
        if (!r) {
            t.fail(QStringLiteral("unreadable reply to the text query"));
            return;
        }
        // As the inserted-text screen fills it from the reply, each change over it.
        OverlayCommands::SpotWordsRecord record = OverlayCommands::SpotWordsRecord::fromReply(*r);
        for (const auto &[field, value] : change)
            record.*field = value;
        // A text that is not UTF-8 reads as empty: it is never sent back as one.
        if (record.text.isEmpty())
            t.fail(QStringLiteral("the server's text is empty or not UTF-8; give TEXT"));
        records[c.indexOf(t)] = record;
    };
    c.queryEach(textQuery(), [](CliTarget &) { QVmethodLib::sendWordsinitializeInfo(); }, read);
    c.hand(QStringLiteral("text sent"), [&](CliTarget &t) {
        const qsizetype i = c.indexOf(t);
        if (!QVmethodLib::sendSetSpotWordsWithParameters(records[i].parameters(), &misfit)) {
            t.fail(QStringLiteral("not sent: the server's %1 does not fit its field").arg(misfit));
            return false;
        }
        return true;
    });
    return c.finish();
}

// --- clock -------------------------------------------------------------------

CliExpect clockQuery()
{
    return {QStringLiteral("the clock query"), {QLatin1String(Catalogue::kClockReply.codeText)}, {}};
}

int showClock(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("clock takes no arguments (did you mean clock set?)"));
    if (!c.connect())
        return c.status();
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        const auto r = OverlayCommands::getClockSetInitInfoWithModelNotice(replies.first());
        if (!r) {
            t.fail(QStringLiteral("unreadable reply to the clock query"));
            return;
        }
        // As the clock screen reads it: 1 is the digital clock, anything else the face.
        const auto record = OverlayCommands::ClockRecord::fromReply(*r);
        t.field(QStringLiteral("type"), record.isDigital() ? kClockTypes.at(1) : kClockTypes.at(0));
        for (const auto &[key, field] : {std::pair<const char *, ClockField>{"x", &OverlayCommands::ClockRecord::x}, {"y", &OverlayCommands::ClockRecord::y},
                                         {"width", &OverlayCommands::ClockRecord::width}, {"height", &OverlayCommands::ClockRecord::height}})
            t.field(QLatin1String(key), record.*field, (record.*field).toInt());
        t.field(QStringLiteral("run"), onOffText(record.isRunning()));
        t.succeed();
    };
    c.queryEach(clockQuery(), [](CliTarget &) { QVmethodLib::sendClockinitializeInfo(); }, read);
    return c.finish();
}

int clockSet(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("clock set takes options only"));
    QList<std::pair<ClockField, QString>> change;
    bool ok = true;
    if (c.isSet(QStringLiteral("type"))) {
        const auto v = c.choice(c.value(QStringLiteral("type")), QStringLiteral("--type"), kClockTypes);
        if (!v)
            return c.status();
        change.append({&OverlayCommands::ClockRecord::type, *v == 1 ? QStringLiteral("01") : QStringLiteral("02")});
    }
    if (c.isSet(QStringLiteral("run"))) {
        const auto on = c.onOff(c.value(QStringLiteral("run")), QStringLiteral("--run"));
        if (!on)
            return c.status();
        change.append({&OverlayCommands::ClockRecord::run, *on ? QStringLiteral("01") : QStringLiteral("02")});
    }
    for (const auto &[option, field] : {std::pair<const char *, ClockField>{"x", &OverlayCommands::ClockRecord::x}, {"y", &OverlayCommands::ClockRecord::y},
                                        {"width", &OverlayCommands::ClockRecord::width}, {"height", &OverlayCommands::ClockRecord::height}}) {
        if (const auto v = c.numberOption(QLatin1String(option), 0, 65535, ok))
            change.append({field, QString::number(*v)});
        if (!ok)
            return c.status();
    }
    if (change.isEmpty())
        return c.usage(QStringLiteral("nothing to set: give an option"));
    if (!c.connect())
        return c.status();
    QList<OverlayCommands::ClockRecord> records(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        const auto r = OverlayCommands::getClockSetInitInfoWithModelNotice(replies.first());
        if (!r) {
            t.fail(QStringLiteral("unreadable reply to the clock query"));
            return;
        }
        OverlayCommands::ClockRecord record = OverlayCommands::ClockRecord::fromReply(*r);
        for (const auto &[field, value] : change)
            record.*field = value;
        records[c.indexOf(t)] = record;
    };
    c.queryEach(clockQuery(), [](CliTarget &) { QVmethodLib::sendClockinitializeInfo(); }, read);
    QString misfit;
    c.hand(QStringLiteral("clock sent"), [&](CliTarget &t) {
        const qsizetype i = c.indexOf(t);
        if (!QVmethodLib::sendSetClockOrderWithParameters(records[i].parameters(), &misfit)) {
            t.fail(QStringLiteral("not sent: the server's %1 does not fit its field").arg(misfit));
            return false;
        }
        return true;
    });
    return c.finish();
}

// --- animation effects -------------------------------------------------------

int effect(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give one effect: %1").arg(kEffects.join(QLatin1String(", "))));
    const auto v = c.choice(c.args().first(), QStringLiteral("the effect"), kEffects);
    if (!v || !c.connect())
        return c.status();
    c.hand(QStringLiteral("effect %1 sent").arg(kEffects.at(*v)), [&](CliTarget &t) {
        // The chooser's tags count from 1 in this order.
        const QString order = OverlayCommands::animationOrderString(*v + 1, t.window);
        QVmethodLib::sendAnimationOrderWithOrderString(order);
        return !order.isEmpty();
    });
    return c.finish();
}

} // namespace

QList<CliCommand> overlayCommands()
{
    const QList<CliOption> textOptions{
        cliOption("effect", "on|off", "Whether the text is shown."),
        cliOption("speed", "N", "Scroll speed, 0-255."),
        cliOption("color", "COLOUR", "Text colour: a colour name or 0-12 (see settings set)."),
        cliOption("direction", "DIR", "left-right, right-left, top-bottom, bottom-top or static."),
        cliOption("size", "N", "Font size, 0-255."),
        cliOption("x", "N", "Position X, 0-65535."),
        cliOption("y", "N", "Position Y, 0-65535."),
        cliOption("z", "N", "Position Z, 0-65535."),
    };
    const QList<CliOption> clockOptions{
        cliOption("type", "virtual|digital", "A clock face or digits."),
        cliOption("x", "N", "Position X, 0-65535."),
        cliOption("y", "N", "Position Y, 0-65535."),
        cliOption("width", "N", "Width, 0-65535."),
        cliOption("height", "N", "Height, 0-65535."),
        cliOption("run", "on|off", "Whether the clock is shown."),
    };
    QList<CliCommand> list{
        cliCommand("text", "", "Show the inserted scrolling text and its settings.", false, text,
                   "A text that is not UTF-8 shows as empty; its settings still show."),
        cliCommand("text show", "", "Show the inserted text (the same as text).", false, text),
        cliCommand("text set", "[TEXT] [OPTIONS]", "Change the inserted text; the rest keeps the server's values.", true,
                   textSet,
                   "Asks for the current text first; every setting not given keeps the server's value.\n"
                   "Example: qevactl --all text set \"Closing at 18:00\" --color red --direction right-left",
                   textOptions),
        cliCommand("clock", "", "Show the clock overlay.", false, showClock),
        cliCommand("clock show", "", "Show the clock overlay (the same as clock).", false, showClock),
        cliCommand("clock set", "[OPTIONS]", "Change the clock overlay; the rest keeps the server's values.", true,
                   clockSet, "Asks for the current clock first; every setting not given keeps the server's value.",
                   clockOptions),
        cliCommand("effect", "NAME", "Play an animation effect in the window.", true, effect,
                   "NAME: rotation, movement, scene-1, scene-2 or scene-3 (the order of the app's chooser).\n"
                   "The effect plays in --window (default: the server's first window)."),
    };
    // The text and the clock lie over the whole display.
    for (CliCommand &c : list)
        c.usesWindow = c.name == QLatin1String("effect");
    return list;
}
