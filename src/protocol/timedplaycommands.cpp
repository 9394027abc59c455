#include "protocol/timedplaycommands.h"

#include "core/logging.h"
#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"

#include <QCoreApplication>
#include <climits>

namespace {

bool isHex(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool digit = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
        if (!digit)
            return false;
    }
    return true;
}

bool isHexOfWidth(const QString &text, qsizetype chars)
{
    return text.size() == chars && isHex(text);
}

// A length field and the text it counts agree.
bool countsText(const QString &lenHex, const QString &textHex)
{
    return isHexOfWidth(lenHex, 4) && textHex.size() % 2 == 0 && isHex(textHex) &&
           lenHex.toUInt(nullptr, 16) == uint(textHex.size() / 2);
}

// A length field read from a reply: its raw text and its value.
struct Counted
{
    QString raw;
    qint64 value;
};

std::optional<Counted> takeCount(HexReader &r)
{
    const auto raw = r.take(2);
    if (!raw || !isHex(*raw))
        return std::nullopt;
    return Counted{*raw, qint64(raw->toUInt(nullptr, 16))};
}

bool startsWithCode(const QString &hex, const ReplySpec &row)
{
    return hex.size() >= 12 && hex.left(12).compare(QLatin1String(row.codeText), Qt::CaseInsensitive) == 0;
}

const char *const kDirectionLabels[] = {
    QT_TRANSLATE_NOOP("TimePlayWordsViewController", "从左往右"),
    QT_TRANSLATE_NOOP("TimePlayWordsViewController", "从右往左"),
    QT_TRANSLATE_NOOP("TimePlayWordsViewController", "从上往下"),
    QT_TRANSLATE_NOOP("TimePlayWordsViewController", "从下到上"),
    QT_TRANSLATE_NOOP("TimePlayWordsViewController", "静止"),
};

} // namespace

namespace TimedPlayCommands {

Request schemesQuery(const QString &windowId, const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kTimePlayListQuery, {windowId, phoneIpHex});
}

Request schemeFilesQuery(const QString &windowId, const QString &projectId, const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kTimePlayDetailQuery, {windowId, projectId, phoneIpHex});
}

Request deleteSchemes(qint64 count, const QString &windowId)
{
    return Frame::build(Catalogue::kDeleteTimePlayProject, {windowId, HexCodec::TenToHexForTwo(count)});
}

Requests schemeFiles(const QVariantList &chooseList)
{
    QList<QPair<QString, QString>> entries;
    for (const QVariant &v : chooseList) {
        const QVariantMap entry = v.toMap();
        const QString lenHex = entry.value(QStringLiteral("filesLenHex")).toString();
        const QString contentHex = entry.value(QStringLiteral("filesContentHex")).toString();
        if (!isHexOfWidth(lenHex, 4) || contentHex.size() % 2 != 0 || !isHex(contentHex)) {
            qCWarning(lcProtocol) << "timed-play file entry left out: length" << lenHex << "name" << contentHex;
            continue;
        }
        entries.append({lenHex, contentHex});
    }
    Requests frames;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const auto &[lenHex, contentHex] = entries.at(i);
        if (i + 1 < entries.size()) {
            frames << Frame::build(Catalogue::kTimePlayFilesMore, {lenHex, contentHex});
        } else {
            const qint64 closing = (lenHex.size() + contentHex.size()) % 100;
            frames << Frame::build(Catalogue::kTimePlayFilesLast,
                                   {lenHex, contentHex, HexCodec::TenToHexForTwo(closing)});
        }
    }
    return frames;
}

std::optional<QVariantMap> getReceiveTimePlayListInfoNotice(const QString &replyHex)
{
    if (!startsWithCode(replyHex, Catalogue::kTimePlayListReply))
        return std::nullopt;
    HexReader r(replyHex, 12);
    const auto windowId = r.take(1);
    const auto projectId = r.take(1);
    const auto nameLen = takeCount(r);
    if (!windowId || !projectId || !nameLen)
        return std::nullopt;
    const auto nameHex = r.take(nameLen->value);
    const auto clockType = r.take(1);
    const auto clockX = r.take(2), clockY = r.take(2), clockW = r.take(2), clockH = r.take(2);
    const auto wordIsExist = r.take(1), wordSpeed = r.take(1), wordColor = r.take(1), wordFangxiang = r.take(1),
               wordSize = r.take(1);
    const auto wordX = r.take(2), wordY = r.take(2), wordZ = r.take(2);
    if (!nameHex || !clockType || !clockX || !clockY || !clockW || !clockH || !wordIsExist || !wordSpeed ||
        !wordColor || !wordFangxiang || !wordSize || !wordX || !wordY || !wordZ)
        return std::nullopt;
    const auto wordsLen = takeCount(r);
    if (!wordsLen)
        return std::nullopt;
    const auto words = r.take(wordsLen->value);
    const auto timeLen = words ? takeCount(r) : std::nullopt;
    if (!timeLen)
        return std::nullopt;
    const auto schedule = r.take(timeLen->value);
    if (!schedule)
        return std::nullopt;

    SchemeRecord record;
    record.windowId = *windowId;
    record.id = *projectId;
    record.nameLength = QString::number(nameLen->value);
    record.name = TimePlay::textFromHex(*nameHex);
    record.clockType = *clockType;
    record.clockX = *clockX;
    record.clockY = *clockY;
    record.clockWidth = *clockW;
    record.clockHeight = *clockH;
    record.textOn = *wordIsExist;
    record.textSpeed = *wordSpeed;
    record.textColor = *wordColor;
    record.textDirection = *wordFangxiang;
    record.textSize = *wordSize;
    record.textX = *wordX;
    record.textY = *wordY;
    record.textZ = *wordZ;
    record.textLength = wordsLen->raw;
    record.text = *words;
    record.scheduleLength = timeLen->raw;
    record.schedule = *schedule;
    return record.scheme();
}

SchemeRecord SchemeRecord::fromScheme(const QVariantMap &scheme)
{
    const auto text = [](const QVariantMap &map, const char *key) { return map.value(QLatin1String(key)).toString(); };
    const QVariantMap clock = scheme.value(QStringLiteral("clockDict")).toMap();
    const QVariantMap words = scheme.value(QStringLiteral("wordsDict")).toMap();
    const QVariantMap time = scheme.value(QStringLiteral("timeDict")).toMap();
    SchemeRecord r;
    r.windowId = text(scheme, "windIDHex");
    r.id = text(scheme, "projectIDHex");
    r.nameLength = text(scheme, "projectNameLen");
    r.name = text(scheme, "projectName");
    r.clockType = text(clock, "clockTypeHex");
    r.clockX = text(clock, "clockXHex");
    r.clockY = text(clock, "clockYHex");
    r.clockWidth = text(clock, "clockWHex");
    r.clockHeight = text(clock, "clockHHex");
    r.textOn = text(words, "wordIsExistHex");
    r.textSpeed = text(words, "wordSpeedHex");
    r.textColor = text(words, "wordColorHex");
    r.textDirection = text(words, "wordFangxiangHex");
    r.textSize = text(words, "wordSizeHex");
    r.textX = text(words, "wordXHex");
    r.textY = text(words, "wordYHex");
    r.textZ = text(words, "wordZHex");
    r.textLength = text(words, "wordsLenHex");
    r.text = text(words, "wordString");
    r.scheduleLength = text(time, "timeStartLenHex");
    r.schedule = text(time, "timeStartString");
    return r;
}

QVariantMap SchemeRecord::scheme() const
{
    const QVariantMap clock{
        {QStringLiteral("clockTypeHex"), clockType}, {QStringLiteral("clockXHex"), clockX},
        {QStringLiteral("clockYHex"), clockY},       {QStringLiteral("clockWHex"), clockWidth},
        {QStringLiteral("clockHHex"), clockHeight},
    };
    const QVariantMap words{
        {QStringLiteral("wordIsExistHex"), textOn},
        {QStringLiteral("wordSpeedHex"), textSpeed},
        {QStringLiteral("wordColorHex"), textColor},
        {QStringLiteral("wordFangxiangHex"), textDirection},
        {QStringLiteral("wordSizeHex"), textSize},
        {QStringLiteral("wordXHex"), textX},
        {QStringLiteral("wordYHex"), textY},
        {QStringLiteral("wordZHex"), textZ},
        {QStringLiteral("wordsLenHex"), textLength},
        {QStringLiteral("wordsLen"), QString::number(textLength.toLongLong(nullptr, 16))},
        {QStringLiteral("wordString"), text},
    };
    const QVariantMap time{
        {QStringLiteral("timeStartLenHex"), scheduleLength},
        {QStringLiteral("timeStartLen"), QString::number(scheduleLength.toLongLong(nullptr, 16))},
        {QStringLiteral("timeStartString"), schedule},
    };
    return QVariantMap{
        {QStringLiteral("windIDHex"), windowId},
        {QStringLiteral("projectIDHex"), id},
        {QStringLiteral("projectNameLen"), nameLength},
        {QStringLiteral("projectName"), name},
        {QStringLiteral("clockDict"), clock},
        {QStringLiteral("wordsDict"), words},
        {QStringLiteral("timeDict"), time},
        {QStringLiteral("checked"), QStringLiteral("NO")},
    };
}

TimePlayParamFields SchemeRecord::parameterFields() const
{
    TimePlayParamFields f;
    f.windowID = windowId;
    f.projectIDHex = id;
    f.projectNameHex = HexCodec::chineseToHex(name);
    f.projectNameLenHex = HexCodec::TenToHex(f.projectNameHex.size() / 2);
    f.clockTypeHex = clockType;
    f.clockXHex = clockX;
    f.clockYHex = clockY;
    f.clockWHex = clockWidth;
    f.clockHHex = clockHeight;
    f.wordIsExistHex = textOn;
    f.wordSpeedHex = textSpeed;
    f.wordColorHex = textColor;
    f.wordFangxiangHex = textDirection;
    f.wordSizeHex = textSize;
    f.wordXHex = textX;
    f.wordYHex = textY;
    f.wordZHex = textZ;
    f.wordsHex = text;
    f.wordsLenHex = HexCodec::TenToHex(text.size() / 2);
    f.timeHex = schedule;
    f.timeLenHex = HexCodec::TenToHex(schedule.size() / 2);
    return f;
}

std::optional<QMap<QString, QString>> getTimePlayListFilesInfoWithModelNotice(const QString &replyHex)
{
    if (!startsWithCode(replyHex, Catalogue::kTimePlayFilesReply))
        return std::nullopt;
    HexReader r(replyHex, 16);
    if (r.position() != 16)
        return std::nullopt;
    const auto nameLen = takeCount(r);
    if (!nameLen)
        return std::nullopt;
    const auto nameHex = r.take(nameLen->value);
    if (!nameHex)
        return std::nullopt;
    return QMap<QString, QString>{
        {QStringLiteral("filesLenHex"), nameLen->raw},
        {QStringLiteral("filesContentHex"), *nameHex},
        {QStringLiteral("filesContent"), TimePlay::textFromHex(*nameHex)},
        {QStringLiteral("checked"), QStringLiteral("NO")},
    };
}

bool isTimePlayReplyFollowed(const QString &replyHex)
{
    return HexCodec::isExsitTheStringWithCheckString(QStringLiteral("ff00"), replyHex);
}

std::optional<Request> schemeParameters(const TimePlayParamFields &f)
{
    const QStringList bytes1{f.windowID,       f.projectIDHex, f.clockTypeHex, f.wordIsExistHex,
                             f.wordSpeedHex,   f.wordColorHex, f.wordFangxiangHex, f.wordSizeHex};
    const QStringList bytes2{f.clockXHex, f.clockYHex, f.clockWHex, f.clockHHex, f.wordXHex, f.wordYHex, f.wordZHex};
    for (const QString &field : bytes1)
        if (!isHexOfWidth(field, 2))
            return std::nullopt;
    for (const QString &field : bytes2)
        if (!isHexOfWidth(field, 4))
            return std::nullopt;
    if (!countsText(f.projectNameLenHex, f.projectNameHex) || !countsText(f.wordsLenHex, f.wordsHex) ||
        !countsText(f.timeLenHex, f.timeHex))
        return std::nullopt;
    return Frame::build(Catalogue::kTimePlayParameters,
                       {f.windowID,       f.projectIDHex,   f.projectNameLenHex, f.projectNameHex, f.clockTypeHex,
                        f.clockXHex,      f.clockYHex,      f.clockWHex,         f.clockHHex,      f.wordIsExistHex,
                        f.wordSpeedHex,   f.wordColorHex,   f.wordFangxiangHex,  f.wordSizeHex,    f.wordXHex,
                        f.wordYHex,       f.wordZHex,       f.wordsLenHex,       f.wordsHex,       f.timeLenHex,
                        f.timeHex});
}

} // namespace TimedPlayCommands

namespace TimePlay {

qint64 leadingInteger(const QString &text)
{
    return HexCodec::integerValue(text);
}

qint64 hexNumber(const QString &hex)
{
    if (hex.isEmpty() || hex.size() > 15 || !isHex(hex))
        return 0;
    return hex.toLongLong(nullptr, 16);
}

QString textFromHex(const QString &hex)
{
    if (const auto text = HexCodec::stringFromHexString(hex))
        return *text;
    // Not UTF-8: keep what can be read, as the codec would, up to a zero byte.
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const QString pair = hex.mid(i, 2);
        const int b = isHex(pair) ? pair.toInt(nullptr, 16) : 0;
        if (b == 0)
            break;
        bytes.append(char(b));
    }
    return QString::fromUtf8(bytes);
}

QStringList directionLabels()
{
    QStringList out;
    for (const char *label : kDirectionLabels)
        out << QCoreApplication::translate("TimePlayWordsViewController", label);
    return out;
}

QStringList directionCodes()
{
    return {QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"),
            QStringLiteral("04")};
}

} // namespace TimePlay
