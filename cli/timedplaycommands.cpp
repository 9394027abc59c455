// Timed-play schemes of a window: list them, show one with its files, and
// write one (its parameter frame, then one frame per file).
#include "clicall.h"
#include "clivalue.h"
#include "commandlist.h"

#include "net/qvmethodlib.h"
#include "protocol/catalogue.h"
#include "protocol/colorlist.h"
#include "protocol/hexcodec.h"
#include "protocol/playlistcommands.h"
#include "protocol/timedplaycommands.h"

#include <QDate>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QTime>

namespace {

const QStringList kClockTypes{QStringLiteral("none"), QStringLiteral("digital"), QStringLiteral("virtual")};

QString hexNumberText(const QString &hex)
{
    return QString::number(TimePlay::hexNumber(hex));
}

QString clockTypeName(const QString &hex)
{
    const qint64 v = TimePlay::hexNumber(hex);
    return v >= 0 && v < kClockTypes.size() ? kClockTypes.at(int(v)) : QStringLiteral("code %1").arg(hex);
}

CliExpect schemeListQuery()
{
    CliExpect e{QStringLiteral("the scheme list query"), {QLatin1String(Catalogue::kTimePlayListReply.codeText)},
                [](const QString &reply) { return !TimedPlayCommands::isTimePlayReplyFollowed(reply); }};
    // A window without schemes gets no answer at all.
    e.silentWhenEmpty = true;
    return e;
}

// The schemes of every target's window, in the order the server sent them.
QList<std::optional<QList<QVariantMap>>> askSchemes(CliCall &c)
{
    QList<std::optional<QList<QVariantMap>>> out(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        QList<QVariantMap> schemes;
        for (const QString &reply : replies) {
            const auto s = TimedPlayCommands::getReceiveTimePlayListInfoNotice(reply);
            if (!s) {
                t.fail(QStringLiteral("unreadable scheme in the list"));
                break;
            }
            schemes << *s;
        }
        if (!t.failed())
            out[c.indexOf(t)] = schemes;
    };
    c.queryEach(schemeListQuery(), [](CliTarget &t) { QVmethodLib::getTimePlayListInitializeInfoWithWindowID(t.window); }, read);
    return out;
}

int schemeId(const QVariantMap &scheme)
{
    return int(TimePlay::hexNumber(TimedPlayCommands::SchemeRecord::fromScheme(scheme).id));
}

QString scheduleText(const QVariantMap &scheme)
{
    return TimePlay::textFromHex(TimedPlayCommands::SchemeRecord::fromScheme(scheme).schedule);
}

QString wordsText(const QVariantMap &scheme)
{
    return TimePlay::textFromHex(TimedPlayCommands::SchemeRecord::fromScheme(scheme).text);
}

QJsonObject schemeJson(const QVariantMap &s)
{
    const auto record = TimedPlayCommands::SchemeRecord::fromScheme(s);
    return QJsonObject{
        {QStringLiteral("id"), schemeId(s)},
        {QStringLiteral("name"), record.name},
        {QStringLiteral("clock"), clockTypeName(record.clockType)},
        {QStringLiteral("text"), wordsText(s)},
        {QStringLiteral("textOn"), TimePlay::hexNumber(record.textOn) != 0},
        {QStringLiteral("schedule"), scheduleText(s)},
    };
}

int schemes(CliCall &c)
{
    if (!c.args().isEmpty())
        return c.usage(QStringLiteral("schemes takes no arguments; the window is --window"));
    if (!c.connect())
        return c.status();
    const auto lists = askSchemes(c);
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        QJsonArray array;
        QStringList names;
        for (const QVariantMap &s : *lists[i]) {
            const QJsonObject o = schemeJson(s);
            array.append(o);
            names << QStringLiteral("%1 %2").arg(o.value(QStringLiteral("id")).toInt()).arg(o.value(QStringLiteral("name")).toString());
            t.lines << QStringLiteral("%1  %2  clock %3  schedule %4%5")
                           .arg(o.value(QStringLiteral("id")).toInt(), 3)
                           .arg(o.value(QStringLiteral("name")).toString(), o.value(QStringLiteral("clock")).toString(),
                                o.value(QStringLiteral("schedule")).toString(),
                                o.value(QStringLiteral("text")).toString().isEmpty()
                                    ? QString()
                                    : QStringLiteral("  text \"%1\"").arg(o.value(QStringLiteral("text")).toString()));
        }
        if (names.isEmpty())
            t.lines << QStringLiteral("(window %1 has no timed-play scheme)").arg(t.window);
        t.record(QStringLiteral("schemes"), array);
        t.summary = QStringLiteral("%1 schemes%2%3").arg(names.size()).arg(names.isEmpty() ? QString() : QStringLiteral(": "), names.join(QLatin1String(", ")));
        t.succeed();
    });
    return c.finish();
}

// The files of the given scheme of every target still in the running.
QList<QList<QMap<QString, QString>>> askSchemeFiles(CliCall &c, const QList<QString> &projectIds)
{
    CliExpect e{QStringLiteral("the scheme files query"), {QLatin1String(Catalogue::kTimePlayFilesReply.codeText)},
                [](const QString &reply) { return !TimedPlayCommands::isTimePlayReplyFollowed(reply); }};
    e.silentWhenEmpty = true;
    QList<QList<QMap<QString, QString>>> out(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        for (const QString &reply : replies) {
            const auto f = TimedPlayCommands::getTimePlayListFilesInfoWithModelNotice(reply);
            if (!f)
                return t.fail(QStringLiteral("unreadable file of the scheme"));
            out[c.indexOf(t)] << *f;
        }
    };
    c.queryEach(e, [&](CliTarget &t) { QVmethodLib::getTimePlayDetailInfoWithWindowID(t.window, projectIds[c.indexOf(t)]); },
                read);
    return out;
}

// The scheme with the given id of each target; targets without it fail.
QList<QVariantMap> findScheme(CliCall &c, int id)
{
    const auto lists = askSchemes(c);
    QList<QVariantMap> found(c.targets().size());
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        const auto match = std::find_if(lists[i]->cbegin(), lists[i]->cend(), [id](const QVariantMap &s) { return schemeId(s) == id; });
        if (match == lists[i]->cend())
            t.fail(QStringLiteral("window %1 has no scheme %2").arg(t.window).arg(id));
        else
            found[i] = *match;
    });
    return found;
}

int schemeShow(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give the scheme id (as schemes shows it)"));
    const auto id = c.number(c.args().first(), QStringLiteral("the scheme id"), 0, 255);
    if (!id || !c.connect())
        return c.status();
    const QList<QVariantMap> found = findScheme(c, int(*id));
    QList<QString> ids;
    for (const QVariantMap &s : found)
        ids << TimedPlayCommands::SchemeRecord::fromScheme(s).id;
    const auto files = askSchemeFiles(c, ids);
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        const QVariantMap &s = found[i];
        const auto record = TimedPlayCommands::SchemeRecord::fromScheme(s);
        QJsonObject o = schemeJson(s);
        t.field(QStringLiteral("id"), QString::number(schemeId(s)), schemeId(s));
        t.field(QStringLiteral("name"), o.value(QStringLiteral("name")).toString());
        t.field(QStringLiteral("schedule"), o.value(QStringLiteral("schedule")).toString());
        t.field(QStringLiteral("clock"), QStringLiteral("%1 at %2,%3 size %4x%5")
                                             .arg(o.value(QStringLiteral("clock")).toString(),
                                                  hexNumberText(record.clockX), hexNumberText(record.clockY),
                                                  hexNumberText(record.clockWidth), hexNumberText(record.clockHeight)),
                o.value(QStringLiteral("clock")).toString());
        const int color = int(TimePlay::hexNumber(record.textColor));
        const int direction = int(TimePlay::hexNumber(record.textDirection));
        t.field(QStringLiteral("text"), o.value(QStringLiteral("text")).toString());
        t.field(QStringLiteral("text-settings"),
                QStringLiteral("%1, speed %2, %3, %4, size %5 at %6,%7,%8")
                    .arg(o.value(QStringLiteral("textOn")).toBool() ? QStringLiteral("on") : QStringLiteral("off"),
                         hexNumberText(record.textSpeed),
                         CliValue::colorName(color).isEmpty() ? QStringLiteral("colour %1").arg(color) : CliValue::colorName(color),
                         direction >= 0 && direction < CliValue::directionNames().size() ? CliValue::directionNames().at(direction)
                                                                                        : QStringLiteral("direction %1").arg(direction),
                         hexNumberText(record.textSize), hexNumberText(record.textX), hexNumberText(record.textY),
                         hexNumberText(record.textZ)),
                o.value(QStringLiteral("textOn")).toBool());
        QJsonArray fileArray;
        for (const auto &f : files[i]) {
            t.lines << f.value(QStringLiteral("filesContent"));
            fileArray.append(f.value(QStringLiteral("filesContent")));
        }
        t.record(QStringLiteral("files"), fileArray);
        t.succeed();
    });
    return c.finish();
}

// --- scheme set --------------------------------------------------------------

struct SchemeChange
{
    bool isNew = false;
    int id = 0;
    QStringList files;
    std::optional<QString> name, schedule, text;
    std::optional<int> clockType;
    QMap<QString, qint64> clockNumbers; // "x", "y", "width", "height"
    std::optional<bool> textOn;
    std::optional<int> color, direction;
    QMap<QString, qint64> textNumbers; // "speed", "size", "x", "y", "z"
};

std::optional<SchemeChange> readSchemeChange(CliCall &c)
{
    SchemeChange ch;
    if (c.args().isEmpty()) {
        c.usage(QStringLiteral("give the scheme id (or new) and the server files it plays"));
        return std::nullopt;
    }
    if (c.args().first() == QLatin1String("new")) {
        ch.isNew = true;
    } else {
        const auto id = c.number(c.args().first(), QStringLiteral("the scheme id"), 1, 255);
        if (!id)
            return std::nullopt;
        ch.id = int(*id);
    }
    ch.files = c.args().mid(1);
    if (c.isSet(QStringLiteral("name"))) {
        ch.name = c.value(QStringLiteral("name"));
        if (ch.name->isEmpty() || ch.name->toUtf8().size() > 0xffff) {
            c.usage(QStringLiteral("the scheme name must have 1 to 65535 bytes"));
            return std::nullopt;
        }
    }
    if (c.isSet(QStringLiteral("schedule"))) {
        QString s = c.value(QStringLiteral("schedule"));
        if (!s.endsWith(QLatin1Char(';')))
            s += QLatin1Char(';');
        static const QRegularExpression entry(QStringLiteral(
            "(\\d{4}/\\d{2}/\\d{2})~(\\d{4}/\\d{2}/\\d{2})#(\\d{2}:\\d{2}:\\d{2})~(\\d{2}:\\d{2}:\\d{2});"));
        qsizetype at = 0;
        bool good = true;
        while (good && at < s.size()) {
            const QRegularExpressionMatch m = entry.match(s, at, QRegularExpression::NormalMatch,
                                                          QRegularExpression::AnchorAtOffsetMatchOption);
            good = m.hasMatch() && QDate::fromString(m.captured(1), QStringLiteral("yyyy/MM/dd")).isValid()
                   && QDate::fromString(m.captured(2), QStringLiteral("yyyy/MM/dd")).isValid()
                   && QTime::fromString(m.captured(3), QStringLiteral("HH:mm:ss")).isValid()
                   && QTime::fromString(m.captured(4), QStringLiteral("HH:mm:ss")).isValid();
            at = good ? m.capturedEnd() : at;
        }
        if (!good || s.toUtf8().size() > 0xffff) {
            c.usage(QStringLiteral("--schedule takes entries yyyy/MM/dd~yyyy/MM/dd#HH:mm:ss~HH:mm:ss; one after "
                                   "another, not \"%1\"").arg(c.value(QStringLiteral("schedule"))));
            return std::nullopt;
        }
        ch.schedule = s;
    }
    if (c.isSet(QStringLiteral("clock"))) {
        const auto v = c.choice(c.value(QStringLiteral("clock")), QStringLiteral("--clock"), kClockTypes);
        if (!v)
            return std::nullopt;
        ch.clockType = *v;
    }
    bool ok = true;
    for (const char *key : {"x", "y", "width", "height"}) {
        if (const auto v = c.numberOption(QStringLiteral("clock-") + QLatin1String(key), 0, 65535, ok))
            ch.clockNumbers.insert(QLatin1String(key), *v);
        if (!ok)
            return std::nullopt;
    }
    if (c.isSet(QStringLiteral("text"))) {
        ch.text = c.value(QStringLiteral("text"));
        if (ch.text->toUtf8().size() > 0xffff) {
            c.usage(QStringLiteral("--text is longer than 65535 bytes"));
            return std::nullopt;
        }
    }
    if (c.isSet(QStringLiteral("text-on"))) {
        const auto on = c.onOff(c.value(QStringLiteral("text-on")), QStringLiteral("--text-on"));
        if (!on)
            return std::nullopt;
        ch.textOn = *on;
    }
    if (c.isSet(QStringLiteral("text-color"))) {
        ch.color = CliValue::color(c.value(QStringLiteral("text-color")));
        if (!ch.color) {
            c.usage(QStringLiteral("--text-color must be a colour (%1, or 0-12)").arg(CliValue::colorNames().join(QLatin1String(", "))));
            return std::nullopt;
        }
    }
    if (c.isSet(QStringLiteral("text-direction"))) {
        ch.direction = c.choice(c.value(QStringLiteral("text-direction")), QStringLiteral("--text-direction"),
                                CliValue::directionNames());
        if (!ch.direction)
            return std::nullopt;
    }
    for (const auto &[key, max] : {std::pair{"speed", 255}, std::pair{"size", 255}, std::pair{"x", 65535},
                                   std::pair{"y", 65535}, std::pair{"z", 65535}}) {
        if (const auto v = c.numberOption(QStringLiteral("text-") + QLatin1String(key), 0, max, ok))
            ch.textNumbers.insert(QLatin1String(key), *v);
        if (!ok)
            return std::nullopt;
    }
    // A new scheme has nothing to keep: the editor asks for these.
    if (ch.isNew && !ch.name) {
        c.usage(QStringLiteral("a new scheme needs --name"));
        return std::nullopt;
    }
    if (ch.isNew && !ch.schedule) {
        c.usage(QStringLiteral("a new scheme needs --schedule"));
        return std::nullopt;
    }
    if (ch.isNew && ch.files.isEmpty()) {
        c.usage(QStringLiteral("a new scheme needs the server files it plays"));
        return std::nullopt;
    }
    return ch;
}

// The parameter fields of a scheme: the stored one's (or the editor's
// defaults for a new one), with the change over them.
TimedPlayCommands::TimePlayParamFields schemeFields(const CliTarget &t, int id, const QVariantMap &stored, const SchemeChange &ch)
{
    using Field = QString TimedPlayCommands::SchemeRecord::*;
    TimedPlayCommands::SchemeRecord s;
    if (stored.isEmpty()) {
        // The editor's defaults: no clock, the text on, white, left to right.
        s.clockType = QStringLiteral("00");
        s.clockX = s.clockY = s.clockWidth = s.clockHeight = HexCodec::TenToHex(0);
        s.textOn = QStringLiteral("01");
        s.textColor = QStringLiteral("01");
        s.textDirection = QStringLiteral("00");
        s.textSpeed = s.textSize = HexCodec::TenToHexForTwo(0);
        s.textX = s.textY = s.textZ = HexCodec::TenToHex(0);
    } else {
        s = TimedPlayCommands::SchemeRecord::fromScheme(stored);
        s.textOn = TimePlay::hexNumber(s.textOn) != 0 ? QStringLiteral("01") : QStringLiteral("00");
    }
    s.windowId = t.window;
    s.id = HexCodec::TenToHexForTwo(id);
    if (ch.name)
        s.name = *ch.name;
    if (ch.clockType)
        s.clockType = HexCodec::TenToHexForTwo(*ch.clockType);
    for (const auto &[key, field] : {std::pair<const char *, Field>{"x", &TimedPlayCommands::SchemeRecord::clockX}, {"y", &TimedPlayCommands::SchemeRecord::clockY},
                                     {"width", &TimedPlayCommands::SchemeRecord::clockWidth}, {"height", &TimedPlayCommands::SchemeRecord::clockHeight}}) {
        if (ch.clockNumbers.contains(QLatin1String(key)))
            s.*field = HexCodec::TenToHex(ch.clockNumbers.value(QLatin1String(key)));
    }
    if (ch.textOn)
        s.textOn = *ch.textOn ? QStringLiteral("01") : QStringLiteral("00");
    if (ch.color)
        s.textColor = ColorList::code(*ch.color);
    if (ch.direction)
        s.textDirection = TimePlay::directionCodes().at(*ch.direction);
    for (const auto &[key, field, bytes] : {std::tuple<const char *, Field, int>{"speed", &TimedPlayCommands::SchemeRecord::textSpeed, 1},
                                            {"size", &TimedPlayCommands::SchemeRecord::textSize, 1},
                                            {"x", &TimedPlayCommands::SchemeRecord::textX, 2},
                                            {"y", &TimedPlayCommands::SchemeRecord::textY, 2},
                                            {"z", &TimedPlayCommands::SchemeRecord::textZ, 2}}) {
        if (!ch.textNumbers.contains(QLatin1String(key)))
            continue;
        const qint64 v = ch.textNumbers.value(QLatin1String(key));
        s.*field = bytes == 1 ? HexCodec::TenToHexForTwo(v) : HexCodec::TenToHex(v);
    }
    if (ch.text)
        s.text = HexCodec::chineseToHex(*ch.text);
    if (ch.schedule)
        s.schedule = HexCodec::chineseToHex(*ch.schedule);
    return s.parameterFields();
}

// A new scheme's id, as the list screen's add button picks it: the one after
// the count, past every id a listed scheme already has (that one would be
// overwritten). Nothing when no id is left.
std::optional<int> nextSchemeId(const QList<QVariantMap> &schemes)
{
    QSet<int> taken;
    for (const QVariantMap &s : schemes)
        taken.insert(schemeId(s));
    int id = int(schemes.size()) + 1;
    while (id <= 0xff && taken.contains(id))
        ++id;
    return id <= 0xff ? std::optional<int>(id) : std::nullopt;
}

// The server lists a scheme with a reply laid out like its parameter frame.
// A scheme list ends at the first reply without ff00 in its text, so a
// scheme whose own fields read as ff00 would, as the last of the list, leave
// the list without an end: the window's schemes could not be read again.
// Names the options whose fields make up such an ff00; none when clean.
QStringList fieldsReadingAsListMark(const TimedPlayCommands::TimePlayParamFields &f)
{
    const QString reply = QLatin1String(Catalogue::kTimePlayListReply.codeText);
    const std::pair<const char *, QString> parts[] = {
        {"", reply},
        {"the window id", f.windowID},
        {"the scheme id", f.projectIDHex},
        {"the length of --name", f.projectNameLenHex},
        {"--name", f.projectNameHex},
        {"--clock", f.clockTypeHex},
        {"--clock-x", f.clockXHex},
        {"--clock-y", f.clockYHex},
        {"--clock-width", f.clockWHex},
        {"--clock-height", f.clockHHex},
        {"--text-on", f.wordIsExistHex},
        {"--text-speed", f.wordSpeedHex},
        {"--text-color", f.wordColorHex},
        {"--text-direction", f.wordFangxiangHex},
        {"--text-size", f.wordSizeHex},
        {"--text-x", f.wordXHex},
        {"--text-y", f.wordYHex},
        {"--text-z", f.wordZHex},
        {"the length of --text", f.wordsLenHex},
        {"--text", f.wordsHex},
        {"the length of --schedule", f.timeLenHex},
        {"--schedule", f.timeHex},
    };
    QString text;
    QList<qsizetype> starts;
    for (const auto &[name, hex] : parts) {
        starts << text.size();
        text += hex.toLower();
    }
    QStringList names;
    if (!TimedPlayCommands::isTimePlayReplyFollowed(text))
        return names;
    const QLatin1String mark("ff00");
    for (qsizetype at = text.indexOf(mark); at >= 0; at = text.indexOf(mark, at + 1)) {
        for (qsizetype i = 0; i < qsizetype(std::size(parts)); ++i) {
            const qsizetype end = starts[i] + parts[i].second.size();
            const QString name = QLatin1String(parts[i].first);
            if (!name.isEmpty() && starts[i] < at + mark.size() && end > at && !names.contains(name))
                names << name;
        }
    }
    return names;
}

// Server files by path or name, as the append command takes them.
QList<std::optional<QVariantList>> chooseServerFiles(CliCall &c, const QStringList &wanted)
{
    CliExpect expect{QStringLiteral("the server files query"),
                     {QLatin1String(Catalogue::kDeviceFilesReply.codeText)},
                     [](const QString &reply) { return PlayListCommands::isLastOfSequence(reply); }};
    // A server without files does not answer at all.
    expect.silentWhenEmpty = true;
    QList<std::optional<QVariantList>> out(c.targets().size());
    const auto read = [&](CliTarget &t, const QStringList &replies) {
        QList<QMap<QString, QString>> files;
        for (const QString &reply : replies)
            if (const auto f = PlayListCommands::getDeviceFilesListInfoWithModelNotice(reply))
                files << *f;
        QVariantList chosen;
        for (const QString &name : wanted) {
            const auto match = std::find_if(files.cbegin(), files.cend(), [&name](const QMap<QString, QString> &f) {
                const QString path = f.value(QStringLiteral("filesContent"));
                return path == name || PlayListCommands::fileNameOfPath(path) == name;
            });
            if (match == files.cend()) {
                t.fail(QStringLiteral("the server has no file \"%1\"").arg(name));
                break;
            }
            chosen << QVariantMap{{QStringLiteral("filesLenHex"), match->value(QStringLiteral("filesLenHex"))},
                                  {QStringLiteral("filesContentHex"), match->value(QStringLiteral("filesContentHex"))}};
        }
        if (!t.failed())
            out[c.indexOf(t)] = chosen;
    };
    c.queryEach(expect, [](CliTarget &) { QVmethodLib::getDeviceFilesInfo(); }, read);
    return out;
}

int schemeSet(CliCall &c)
{
    const auto ch = readSchemeChange(c);
    if (!ch || !c.connect())
        return c.status();

    const auto lists = askSchemes(c);
    QList<int> ids(c.targets().size(), 0);
    QList<QString> idHex(c.targets().size());
    QList<QString> frames(c.targets().size());
    c.eachRunning([&](qsizetype i, CliTarget &t) {
        const QList<QVariantMap> &schemes = *lists[i];
        if (ch->isNew) {
            const auto next = nextSchemeId(schemes);
            if (!next) {
                t.fail(QStringLiteral("window %1 has no room for another scheme").arg(t.window));
                return;
            }
            ids[i] = *next;
        } else {
            ids[i] = ch->id;
        }
        QVariantMap stored;
        const auto match = std::find_if(schemes.cbegin(), schemes.cend(), [&](const QVariantMap &s) { return schemeId(s) == ids[i]; });
        if (match != schemes.cend()) {
            stored = *match;
        } else if (!ch->name || !ch->schedule || ch->files.isEmpty()) {
            t.fail(QStringLiteral("window %1 has no scheme %2; a new one needs --name, --schedule and files").arg(t.window).arg(ids[i]));
            return;
        }
        idHex[i] = HexCodec::TenToHexForTwo(ids[i]);
        const TimedPlayCommands::TimePlayParamFields fields = schemeFields(t, ids[i], stored, *ch);
        const auto parameters = TimedPlayCommands::schemeParameters(fields);
        if (!parameters) {
            t.fail(QStringLiteral("not sent: the scheme does not fit its frame"));
            return;
        }
        const QStringList marks = fieldsReadingAsListMark(fields);
        if (!marks.isEmpty()) {
            t.refuse(QStringLiteral("not sent: %1 would put ff00 into the scheme, and a scheme list whose last entry "
                                    "holds ff00 never ends: the schemes of window %2 could no longer be read. "
                                    "Change %3.")
                         .arg(marks.size() == 1 ? marks.first()
                                                : marks.mid(0, marks.size() - 1).join(QLatin1String(", ")) + QLatin1String(" and ") + marks.last(),
                              t.window, marks.size() == 1 ? QStringLiteral("it") : QStringLiteral("one of them")));
            return;
        }
        frames[i] = parameters->frame;
    });

    // The files: the ones named, or those the scheme already plays.
    QList<QVariantList> files(c.targets().size());
    if (!ch->files.isEmpty()) {
        const auto chosen = chooseServerFiles(c, ch->files);
        for (qsizetype i = 0; i < c.targets().size(); ++i)
            if (chosen[i])
                files[i] = *chosen[i];
    } else {
        const auto kept = askSchemeFiles(c, idHex);
        for (qsizetype i = 0; i < c.targets().size(); ++i) {
            for (const auto &f : kept[i])
                files[i] << QVariantMap{{QStringLiteral("filesLenHex"), f.value(QStringLiteral("filesLenHex"))},
                                        {QStringLiteral("filesContentHex"), f.value(QStringLiteral("filesContentHex"))}};
            if (!c.targets()[i].failed() && files[i].isEmpty())
                c.targets()[i].fail(QStringLiteral("scheme %1 plays no file; name the server files it plays").arg(ids[i]));
        }
    }

    c.hand(QString(), [&](CliTarget &t) {
        const qsizetype i = c.indexOf(t);
        QVmethodLib::sendTimePlayParam(frames[i]);
        QVmethodLib::addPlayFiletoTimePlayListWithChooseListArray(files[i]);
        t.summary = QStringLiteral("scheme %1 sent with %2 files").arg(ids[i]).arg(files[i].size());
        return true;
    });
    return c.finish();
}

} // namespace

QList<CliCommand> timedPlayCommands()
{
    const QList<CliOption> setOptions{
        cliOption("name", "NAME", "The scheme's name."),
        cliOption("schedule", "RANGES", "When it plays: yyyy/MM/dd~yyyy/MM/dd#HH:mm:ss~HH:mm:ss; per range."),
        cliOption("clock", "none|digital|virtual", "The clock overlay of the scheme."),
        cliOption("clock-x", "N", "Clock position X, 0-65535."),
        cliOption("clock-y", "N", "Clock position Y, 0-65535."),
        cliOption("clock-width", "N", "Clock width, 0-65535."),
        cliOption("clock-height", "N", "Clock height, 0-65535."),
        cliOption("text", "TEXT", "The scheme's scrolling text (\"\" for none)."),
        cliOption("text-on", "on|off", "Whether the text is shown."),
        cliOption("text-speed", "N", "Text speed, 0-255."),
        cliOption("text-color", "COLOUR", "Text colour: a colour name or 0-12."),
        cliOption("text-direction", "DIR", "left-right, right-left, top-bottom, bottom-top or static."),
        cliOption("text-size", "N", "Text size, 0-255."),
        cliOption("text-x", "N", "Text position X, 0-65535."),
        cliOption("text-y", "N", "Text position Y, 0-65535."),
        cliOption("text-z", "N", "Text position Z, 0-65535."),
    };
    return {
        cliCommand("schemes", "", "List the timed-play schemes of --window.", false, schemes,
                   "A window without schemes is not answered at all; after --timeout the tool asks for the\n"
                   "settings to tell such a window from a silent server."),
        cliCommand("scheme show", "ID", "Show one timed-play scheme with its files.", false, schemeShow),
        cliCommand("scheme set", "ID|new [FILE...] [OPTIONS]", "Write a timed-play scheme of --window.", true, schemeSet,
                   "Reads the window's schemes first. Changing scheme ID keeps everything not given (its files\n"
                   "too, unless FILEs are named). \"new\" takes the next free number as the app's add button does:\n"
                   "counting on from the number of schemes, the first that no scheme has. A new scheme needs --name,\n"
                   "--schedule and the server FILEs it plays (paths as files shows them, or their names). The\n"
                   "protocol offers no way to delete a scheme.\n"
                   "A scheme whose values read as ff00 in its bytes (such as --clock-x 255 with --clock-y 16, or\n"
                   "--text-speed 255 with --text-color black) is refused: as the last of the list it would keep\n"
                   "the window's scheme list from ending, and the schemes could no longer be read.\n"
                   "Example: qevactl -s 192.0.2.10 scheme set new --name Morning \\\n"
                   "           --schedule '2024/01/01~2024/12/31#08:00:00~12:00:00' a.mp4 b.jpg",
                   setOptions),
    };
}
