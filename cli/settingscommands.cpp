// The system settings of a server: the settings record, volume, screen
// switch, video source, rotation, colour balance, restart and clock.
#include "clicall.h"
#include "clivalue.h"
#include "commandlist.h"

#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/colorlist.h"
#include "protocol/settingscommands.h"

#include <QRegularExpression>

#include <limits>

namespace {

const QStringList kSources{QStringLiteral("auto"), QStringLiteral("a20"), QStringLiteral("hdmi")};
const QStringList kRotations{QStringLiteral("0"), QStringLiteral("90"), QStringLiteral("180"), QStringLiteral("270")};

QString code(int index)
{
    return QStringLiteral("%1").arg(index, 2, 16, QLatin1Char('0'));
}

QString onOffText(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

// A list entry by the number a reply gives, or the raw number when the
// server sent one outside the list.
QString entry(const QStringList &names, const QString &number)
{
    const int i = number.toInt();
    return i >= 0 && i < names.size() ? names.at(i) : QStringLiteral("code %1").arg(number);
}

CliExpect settingsQuery()
{
    return {QStringLiteral("the settings query"), {QLatin1String(Catalogue::kSystemInfoReply.codeText)}, {}};
}

CliExpect volumeQuery()
{
    return {QStringLiteral("the volume query"), {QLatin1String(Catalogue::kVolumeReply.codeText)}, {}};
}

// --- settings --------------------------------------------------------------

void showSettings(CliTarget &t, const QMap<QString, QString> &s)
{
    t.field(QStringLiteral("restart"), onOffText(s.value(QStringLiteral("isRestart")).toInt(nullptr, 16) == 1));
    t.field(QStringLiteral("skip-login"), onOffText(s.value(QStringLiteral("isSkipLogin")).toInt(nullptr, 16) != 0));
    t.field(QStringLiteral("brightness"), s.value(QStringLiteral("lightValue")),
            s.value(QStringLiteral("lightValue")).toInt());
    t.field(QStringLiteral("wifi"), QString::number(s.value(QStringLiteral("isOpenWifi")).toInt(nullptr, 16)),
            s.value(QStringLiteral("isOpenWifi")).toInt(nullptr, 16));
    t.field(QStringLiteral("background"), entry(CliValue::colorNames(), s.value(QStringLiteral("beijingColor"))));
    t.field(QStringLiteral("restart-time"), s.value(QStringLiteral("restartTimeString")));
    t.field(QStringLiteral("transfer-path"), s.value(QStringLiteral("transPathString")));
    t.field(QStringLiteral("screen"), onOffText(s.value(QStringLiteral("isOpenkaiguan")).toInt(nullptr, 16) == 1));
    for (const auto &[key, reply] : {std::pair{"red", "getredValue"}, std::pair{"green", "getgreenValue"},
                                     std::pair{"blue", "getblueValue"}})
        t.field(QLatin1String(key), s.value(QLatin1String(reply)), s.value(QLatin1String(reply)).toInt());
    t.field(QStringLiteral("source"), entry(kSources, s.value(QStringLiteral("shipinyuan"))));
    t.field(QStringLiteral("rotation"), entry(kRotations, s.value(QStringLiteral("xuanzhuandu"))));
}

int settings(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("settings takes no arguments (did you mean settings set?)"));
    if (!c.connect())
        return c.status();
    c.queryEach(settingsQuery(), [](CliTarget &) { QVmethodLib::sendSystemSetInitializeInfo(); },
                [](CliTarget &t, const QStringList &replies) {
                    const auto s = SettingsCommands::getSystemInitInfoWithModelNotice(replies.first());
                    if (!s)
                        return t.fail(QStringLiteral("unreadable reply to the settings query"));
                    showSettings(t, *s);
                    t.succeed();
                });
    return c.finish();
}

// --- settings set ----------------------------------------------------------

// What "settings set" was asked to change, checked before anything is sent.
using RecordField = QString SettingsCommands::SettingsRecord::*;
struct SettingsChange
{
    QList<std::pair<RecordField, QString>> record; // fields of the settings record frame (5501)
    std::optional<QString> screen, source, rotation; // codes of their own frames
    std::optional<qint64> red, green, blue;
};

const QStringList kSettingKeys{
    QStringLiteral("restart"), QStringLiteral("skip-login"), QStringLiteral("brightness"),
    QStringLiteral("wifi"), QStringLiteral("background"), QStringLiteral("restart-time"),
    QStringLiteral("transfer-path"), QStringLiteral("screen"), QStringLiteral("source"),
    QStringLiteral("rotation"), QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue")};

std::optional<SettingsChange> readChange(CliCall &c)
{
    SettingsChange change;
    QStringList given;
    if (c.args().isEmpty()) {
        c.usage(QStringLiteral("nothing to set; give KEY=VALUE (keys: %1)").arg(kSettingKeys.join(QLatin1String(", "))));
        return std::nullopt;
    }
    static const QRegularExpression clock(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$"));
    for (const QString &arg : c.args()) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? arg : arg.left(eq);
        const QString value = eq < 0 ? QString() : arg.mid(eq + 1);
        if (eq < 0 || !kSettingKeys.contains(key)) {
            c.usage(QStringLiteral("\"%1\" is not KEY=VALUE with a key of %2").arg(arg, kSettingKeys.join(QLatin1String(", "))));
            return std::nullopt;
        }
        if (given.contains(key)) {
            c.usage(QStringLiteral("%1 is given twice").arg(key));
            return std::nullopt;
        }
        given << key;
        if (key == QLatin1String("restart") || key == QLatin1String("skip-login")) {
            const auto on = c.onOff(value, key);
            if (!on)
                return std::nullopt;
            change.record.append({key == QLatin1String("restart") ? &SettingsCommands::SettingsRecord::restartDevice
                                                                  : &SettingsCommands::SettingsRecord::skipLogin,
                                  *on ? QStringLiteral("01") : QStringLiteral("00")});
        } else if (key == QLatin1String("brightness")) {
            const auto v = c.number(value, key, 0, 65535);
            if (!v)
                return std::nullopt;
            change.record.append({&SettingsCommands::SettingsRecord::brightness, QString::number(*v)});
        } else if (key == QLatin1String("wifi")) {
            const auto v = c.number(value, key, 1, 2);
            if (!v)
                return std::nullopt;
            change.record.append({&SettingsCommands::SettingsRecord::wifi, code(int(*v))});
        } else if (key == QLatin1String("background")) {
            const auto v = CliValue::color(value);
            if (!v) {
                c.usage(QStringLiteral("background must be a colour (%1, or 0-12), not \"%2\"")
                            .arg(CliValue::colorNames().join(QLatin1String(", ")), value));
                return std::nullopt;
            }
            change.record.append({&SettingsCommands::SettingsRecord::background, ColorList::code(*v)});
        } else if (key == QLatin1String("restart-time")) {
            if (value != QLatin1String("none") && !value.isEmpty() && !clock.match(value).hasMatch()) {
                c.usage(QStringLiteral("restart-time must be HH:mm:ss or none, not \"%1\"").arg(value));
                return std::nullopt;
            }
            change.record.append({&SettingsCommands::SettingsRecord::restartTime,
                                  value == QLatin1String("none") ? QString() : value});
        } else if (key == QLatin1String("transfer-path")) {
            if (value.toUtf8().size() > 0xffff) {
                c.usage(QStringLiteral("transfer-path is longer than 65535 bytes"));
                return std::nullopt;
            }
            change.record.append({&SettingsCommands::SettingsRecord::transferPath, value});
        } else if (key == QLatin1String("screen")) {
            const auto on = c.onOff(value, key);
            if (!on)
                return std::nullopt;
            change.screen = *on ? QStringLiteral("01") : QStringLiteral("02");
        } else if (key == QLatin1String("source")) {
            const auto v = c.choice(value, key, kSources);
            if (!v)
                return std::nullopt;
            change.source = code(*v);
        } else if (key == QLatin1String("rotation")) {
            const auto v = c.choice(value, key, kRotations);
            if (!v)
                return std::nullopt;
            change.rotation = code(*v);
        } else {
            const auto v = c.number(value, key, 0, 65535);
            if (!v)
                return std::nullopt;
            (key == QLatin1String("red") ? change.red : key == QLatin1String("green") ? change.green : change.blue) = *v;
        }
    }
    return change;
}

// The record as the settings screen would save it from this reply: the
// flags and texts the server reported, each changed field over them.
SettingsCommands::SettingsRecord recordFrom(const QMap<QString, QString> &reply,
                                            const QList<std::pair<RecordField, QString>> &change)
{
    SettingsCommands::SettingsRecord record = SettingsCommands::SettingsRecord::fromReply(reply);
    for (const auto &[field, value] : change)
        record.*field = value;
    return record;
}

int settingsSet(CliCall &c)
{
    const auto change = readChange(c);
    if (!change)
        return c.status();
    if (!c.connect())
        return c.status();
    // The query first, so that every field not named keeps the server's value.
    QList<QMap<QString, QString>> current(c.targets().size());
    c.queryEach(settingsQuery(), [](CliTarget &) { QVmethodLib::sendSystemSetInitializeInfo(); },
                [&](CliTarget &t, const QStringList &replies) {
                    const auto s = SettingsCommands::getSystemInitInfoWithModelNotice(replies.first());
                    if (!s)
                        t.fail(QStringLiteral("unreadable reply to the settings query"));
                    else
                        current[c.indexOf(t)] = *s;
                });

    QStringList done;
    QString misfit;
    const auto fits = [&misfit](bool took, CliTarget &t) {
        if (!took)
            t.fail(QStringLiteral("not sent: %1 does not fit its field").arg(misfit));
        return took;
    };
    if (!change->record.isEmpty()) {
        c.hand(QString(), [&](CliTarget &t) {
            const QMap<QString, QString> p = recordFrom(current[c.indexOf(t)], change->record).parameters();
            return fits(QVmethodLib::sendSetSystemInfoWithParamaters(p, &misfit), t);
        });
        done << QStringLiteral("settings record");
    }
    if (change->screen) {
        c.hand(QString(), [&](CliTarget &) { return QVmethodLib::sendSetSystemKaiguanPingWithParamaters(*change->screen); });
        done << QStringLiteral("screen");
    }
    if (change->source) {
        c.hand(QString(), [&](CliTarget &) { return QVmethodLib::sendSetSystemshipinyuanWithParamaters(*change->source); });
        done << QStringLiteral("source");
    }
    if (change->rotation) {
        c.hand(QString(), [&](CliTarget &) { return QVmethodLib::sendSetSystemPingmuXuanzhuanWithParamaters(*change->rotation); });
        done << QStringLiteral("rotation");
    }
    if (change->red || change->green || change->blue) {
        c.hand(QString(), [&](CliTarget &t) {
            const QMap<QString, QString> &s = current[c.indexOf(t)];
            const auto value = [&](const std::optional<qint64> &given, const char *reply) {
                return given ? QString::number(*given) : s.value(QLatin1String(reply));
            };
            const QMap<QString, QString> p{{QStringLiteral("redValue"), value(change->red, "getredValue")},
                                           {QStringLiteral("greenValue"), value(change->green, "getgreenValue")},
                                           {QStringLiteral("blueValue"), value(change->blue, "getblueValue")}};
            return fits(QVmethodLib::sendSetSystemColorWithParamaters(p, &misfit), t);
        });
        done << QStringLiteral("colour");
    }
    for (CliTarget &t : c.targets())
        if (!t.failed())
            t.summary = QStringLiteral("sent: %1").arg(done.join(QLatin1String(", ")));
    return c.finish();
}

// --- volume ----------------------------------------------------------------

int volume(CliCall &c)
{
    if (c.args().size() > 1)
        return c.usage(QStringLiteral("volume takes at most one value"));
    // Any whole number is taken here: the range is the server's, and only its
    // reply says where it ends.
    std::optional<qint64> wanted;
    if (c.args().size() == 1) {
        wanted = CliValue::integer(c.args().first(), std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
        if (!wanted)
            return c.usage(QStringLiteral("the volume must be a whole number from 0 to the server's maximum, not \"%1\"")
                               .arg(c.args().first()));
    }
    if (!c.connect())
        return c.status();
    // Also before a change: the server's maximum is the top of the range.
    c.queryEach(volumeQuery(), [](CliTarget &) { QVmethodLib::getSystemYinliangValueInfo(); },
                [&](CliTarget &t, const QStringList &replies) {
                    const auto v = SettingsCommands::getSystemYinliangValueWithModelNotice(replies.first());
                    if (!v)
                        return t.fail(QStringLiteral("unreadable reply to the volume query"));
                    const qint64 maximum = v->value(QStringLiteral("MaxyinliangValue")).toLongLong();
                    if (wanted && (*wanted < 0 || *wanted > maximum)) {
                        return t.refuse(
                            QStringLiteral("the volume must be a whole number from 0 to %1 (the server's maximum), not %2")
                                .arg(maximum)
                                .arg(*wanted));
                    }
                    if (!wanted) {
                        t.field(QStringLiteral("volume"), v->value(QStringLiteral("TheyinliangValue")),
                                v->value(QStringLiteral("TheyinliangValue")).toInt());
                        t.field(QStringLiteral("max"), v->value(QStringLiteral("MaxyinliangValue")), int(maximum));
                        t.succeed();
                    }
                });
    if (wanted)
        c.hand(QStringLiteral("volume %1 sent").arg(*wanted),
               [&](CliTarget &) { return QVmethodLib::sendSetSystemYinLiangWithParamaters(QString::number(*wanted)); });
    return c.finish();
}

// --- one-value commands ----------------------------------------------------

int screen(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give on or off"));
    const auto on = c.onOff(c.args().first(), QStringLiteral("the screen"));
    if (!on || !c.connect())
        return c.status();
    const QString codeText = *on ? QStringLiteral("01") : QStringLiteral("02");
    c.hand(QStringLiteral("screen %1 sent").arg(onOffText(*on)),
           [&](CliTarget &) { return QVmethodLib::sendSetSystemKaiguanPingWithParamaters(codeText); });
    return c.finish();
}

int source(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give one of %1").arg(kSources.join(QLatin1String(", "))));
    const auto v = c.choice(c.args().first(), QStringLiteral("the source"), kSources);
    if (!v || !c.connect())
        return c.status();
    c.hand(QStringLiteral("source %1 sent").arg(kSources.at(*v)),
           [&](CliTarget &) { return QVmethodLib::sendSetSystemshipinyuanWithParamaters(code(*v)); });
    return c.finish();
}

int rotate(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give one of %1").arg(kRotations.join(QLatin1String(", "))));
    const auto v = c.choice(c.args().first(), QStringLiteral("the rotation"), kRotations);
    if (!v || !c.connect())
        return c.status();
    c.hand(QStringLiteral("rotation %1 sent").arg(kRotations.at(*v)),
           [&](CliTarget &) { return QVmethodLib::sendSetSystemPingmuXuanzhuanWithParamaters(code(*v)); });
    return c.finish();
}

int color(CliCall &c)
{
    if (c.args().size() != 3)
        return c.usage(QStringLiteral("give the three values R G B"));
    QStringList values;
    const char *names[] = {"red", "green", "blue"};
    for (int i = 0; i < 3; ++i) {
        const auto v = c.number(c.args().at(i), QLatin1String(names[i]), 0, 65535);
        if (!v)
            return c.status();
        values << QString::number(*v);
    }
    if (!c.connect())
        return c.status();
    const QMap<QString, QString> p{{QStringLiteral("redValue"), values.at(0)},
                                   {QStringLiteral("greenValue"), values.at(1)},
                                   {QStringLiteral("blueValue"), values.at(2)}};
    c.hand(QStringLiteral("colour %1 sent").arg(values.join(QLatin1Char(' '))),
           [&](CliTarget &) { return QVmethodLib::sendSetSystemColorWithParamaters(p); });
    return c.finish();
}

int restart(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("restart takes no arguments"));
    if (!c.connect())
        return c.status();
    c.hand(QStringLiteral("restart sent"), [](CliTarget &) {
        QVmethodLib::RestartDeviceOrder();
        return true;
    });
    return c.finish();
}

int syncTime(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("sync-time takes no arguments"));
    if (!c.connect())
        return c.status();
    c.hand(QStringLiteral("time sent"), [](CliTarget &) {
        QVmethodLib::reviseDeviceTime();
        return true;
    });
    return c.finish();
}

} // namespace

QList<CliCommand> settingsCommands()
{
    QList<CliCommand> list{
        cliCommand("settings", "", "Show the system settings.", false, settings,
                   "Keys: restart, skip-login, brightness, wifi, background, restart-time, transfer-path, screen,\n"
                   "red, green, blue, source, rotation (each can be changed with settings set)."),
        cliCommand("settings show", "", "Show the system settings (the same as settings).", false, settings),
        cliCommand("settings set", "KEY=VALUE...", "Change system settings; the others keep the server's values.", true,
                   settingsSet,
                   "Asks for the settings first, so that every field not named keeps the server's value, then\n"
                   "sends what changed:\n"
                   "  restart=on|off  skip-login=on|off  brightness=0-65535  wifi=1|2\n"
                   "  background=COLOUR (black, white, red, yellow, grey, purple, blue, blue-green, charcoal,\n"
                   "             bright, green, transparent, bright-blue, or 0-12)\n"
                   "  restart-time=HH:mm:ss|none  transfer-path=TEXT\n"
                   "  screen=on|off  source=auto|a20|hdmi  rotation=0|90|180|270  red|green|blue=0-65535\n"
                   "Example: qevactl -s 192.0.2.10 settings set brightness=180 restart-time=03:00:00"),
        cliCommand("volume", "[N]", "Show the volume, or set it to N (0 to the server's maximum).", true, volume,
                   "Without N: shows the volume and its maximum. With N: asks for the maximum first; a value\n"
                   "outside 0 to that maximum is a bad argument (exit status 2) and nothing is set. Otherwise\n"
                   "sends the new volume."),
        cliCommand("screen", "on|off", "Switch the screen on or off.", true, screen),
        cliCommand("source", "auto|a20|hdmi", "Choose the video source.", true, source),
        cliCommand("rotate", "0|90|180|270", "Rotate the screen.", true, rotate),
        cliCommand("color", "R G B", "Set the colour balance (each 0-65535).", true, color),
        cliCommand("restart", "", "Restart the server at once.", true, restart),
        cliCommand("sync-time", "", "Set the server's clock to this machine's time and time zone.", true, syncTime),
    };
    for (CliCommand &c : list)
        c.usesWindow = false;
    return list;
}
