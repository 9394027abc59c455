#include "protocol/settingscommands.h"

#include "core/logging.h"
#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"

#include <limits>

namespace {
constexpr qint64 kMaxU8 = 0xff;
constexpr qint64 kMaxU16 = 0xffff;

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

bool isHexText(const QString &text)
{
    for (const QChar c : text)
        if (!isHexDigit(c))
            return false;
    return true;
}

QString value(const QMap<QString, QString> &parameters, const char *key)
{
    return parameters.value(QLatin1String(key));
}

// Names the parameter that does not fit; the frame is then not built.
std::nullopt_t misfitOf(QString *misfit, const char *key)
{
    if (misfit)
        *misfit = QLatin1String(key);
    return std::nullopt;
}

// A number field of the given width, or nothing when the value does not fit.
std::optional<QString> numberField(const QString &text, qint64 max)
{
    const qint64 v = SettingsCommands::integerValue(text);
    if (v < 0 || v > max)
        return std::nullopt;
    return max == kMaxU8 ? HexCodec::TenToHexForTwo(v) : HexCodec::TenToHex(v);
}

// A settings-record text: its 2-byte count and its UTF-8 bytes; an empty
// text is the count 0000 followed by the placeholder 0000. Nothing when the
// count cannot say its length.
std::optional<std::pair<QString, QString>> recordText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        return std::make_pair(QStringLiteral("0000"), QStringLiteral("0000"));
    if (utf8.size() > kMaxU16)
        return std::nullopt;
    return std::make_pair(HexCodec::TenToHex(utf8.size()), HexCodec::NSDataToByteTohex(utf8));
}

// Reads a settings-record text at the reader: the count, then the bytes or
// the placeholder of an empty text. The outer optional is empty when the
// reply is cut; the inner one when the bytes are not UTF-8.
std::optional<std::optional<QString>> readRecordText(HexReader &r)
{
    const auto length = r.takeNumber(2);
    if (!length)
        return std::nullopt;
    if (*length == 0) {
        if (!r.skip(2))
            return std::nullopt;
        return std::optional<QString>(QString());
    }
    const auto bytes = r.take(*length);
    if (!bytes)
        return std::nullopt;
    return HexCodec::stringFromHexString(*bytes);
}

std::optional<Request> codeRequest(const RequestSpec &row, const QString &code)
{
    if (!SettingsCommands::isCode(code)) {
        qCWarning(lcProtocol) << "frame" << row.code << "not sent: code" << code << "is not two hex digits";
        return std::nullopt;
    }
    return Frame::build(row, {code});
}
} // namespace

namespace SettingsCommands {

qint64 integerValue(const QString &text)
{
    return HexCodec::integerValue(text);
}

bool isCode(const QString &code)
{
    return code.size() == 2 && isHexText(code);
}

SettingsRecord SettingsRecord::fromReply(const QMap<QString, QString> &reply)
{
    const auto byte = [&reply](const char *key) { return reply.value(QLatin1String(key)).toInt(nullptr, 16); };
    const auto flag = [](bool on, const char *yes, const char *no) { return QLatin1String(on ? yes : no); };
    SettingsRecord r;
    r.restartDevice = flag(byte("isRestart") == 1, "01", "00");
    r.skipLogin = flag(byte("isSkipLogin") != 0, "01", "00");
    r.brightness = reply.value(QStringLiteral("lightValue"));
    r.wifi = flag(byte("isOpenWifi") == 2, "02", "01");
    r.background = reply.value(QStringLiteral("beijingColorHex"));
    r.restartTime = reply.value(QStringLiteral("restartTimeString"));
    r.transferPath = reply.value(QStringLiteral("transPathString"));
    return r;
}

QMap<QString, QString> SettingsRecord::parameters() const
{
    return {{QStringLiteral("isRestartDevice"), restartDevice}, {QStringLiteral("isSkipLogin"), skipLogin},
            {QStringLiteral("liangdu"), brightness},           {QStringLiteral("isOpenWifi"), wifi},
            {QStringLiteral("colorType"), background},         {QStringLiteral("time"), restartTime},
            {QStringLiteral("TransPath"), transferPath}};
}

std::optional<Request> systemInfo(const QMap<QString, QString> &parameters, QString *misfit)
{
    const auto refuse = [misfit](const char *key) {
        qCWarning(lcProtocol) << "settings frame not sent: parameter" << key << "does not fit";
        return misfitOf(misfit, key);
    };
    QStringList fields;
    for (const char *key : {"isRestartDevice", "isSkipLogin"}) {
        if (!isCode(value(parameters, key)))
            return refuse(key);
        fields << value(parameters, key);
    }
    const auto brightness = numberField(value(parameters, "liangdu"), kMaxU16);
    if (!brightness)
        return refuse("liangdu");
    fields << *brightness;
    for (const char *key : {"isOpenWifi", "colorType"}) {
        if (!isCode(value(parameters, key)))
            return refuse(key);
        fields << value(parameters, key);
    }
    for (const char *key : {"time", "TransPath"}) {
        const auto text = recordText(value(parameters, key));
        if (!text)
            return refuse(key);
        fields << text->first << text->second;
    }
    return Frame::build(Catalogue::kSetSystemInfo, fields);
}

std::optional<Request> volume(const QString &volume)
{
    const auto field = numberField(volume, kMaxU8);
    if (!field) {
        qCWarning(lcProtocol) << "volume frame not sent:" << volume << "does not fit one byte";
        return std::nullopt;
    }
    return Frame::build(Catalogue::kSetVolume, {*field});
}

std::optional<Request> color(const QMap<QString, QString> &parameters, QString *misfit)
{
    QStringList fields;
    for (const char *key : {"redValue", "greenValue", "blueValue"}) {
        const auto field = numberField(value(parameters, key), kMaxU16);
        if (!field) {
            qCWarning(lcProtocol) << "colour frame not sent: parameter" << key << "does not fit";
            return misfitOf(misfit, key);
        }
        fields << *field;
    }
    return Frame::build(Catalogue::kSetColor, fields);
}

std::optional<Request> screenSwitch(const QString &switchCode)
{
    return codeRequest(Catalogue::kScreenSwitch, switchCode);
}

std::optional<Request> videoSource(const QString &sourceCode)
{
    return codeRequest(Catalogue::kVideoSource, sourceCode);
}

std::optional<Request> rotation(const QString &rotationCode)
{
    return codeRequest(Catalogue::kRotation, rotationCode);
}

Request restart()
{
    return Frame::build(Catalogue::kRestart);
}

Request systemInfoQuery(const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kSystemInfoQuery, {phoneIpHex});
}

Request volumeQuery(const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kVolumeQuery, {phoneIpHex});
}

Request deviceTime(qint64 msSinceEpoch, const QByteArray &zoneId)
{
    const QByteArray zone = zoneId.left(kMaxU16);
    return Frame::build(Catalogue::kTimeCorrection,
                       {HexCodec::TenToHexWitheightHex(msSinceEpoch), HexCodec::TenToHex(zone.size()),
                        HexCodec::NSDataToByteTohex(zone)});
}


std::optional<QMap<QString, QString>> getSystemInitInfoWithModelNotice(const QString &replyHex)
{
    if (!isHexText(replyHex))
        return std::nullopt;
    HexReader r(replyHex, 12);
    const auto restart = r.take(1);
    const auto skipLogin = r.take(1);
    const auto light = r.takeNumber(2);
    const auto wifi = r.take(1);
    const auto colour = r.take(1);
    if (!restart || !skipLogin || !light || !wifi || !colour)
        return std::nullopt;
    const auto time = readRecordText(r);
    if (!time)
        return std::nullopt;
    const auto path = readRecordText(r);
    if (!path)
        return std::nullopt;
    const auto screenSwitch = r.take(1);
    const auto red = r.takeNumber(2);
    const auto green = r.takeNumber(2);
    const auto blue = r.takeNumber(2);
    const auto source = r.take(1);
    const auto rotation = r.take(1);
    if (!screenSwitch || !red || !green || !blue || !source || !rotation)
        return std::nullopt;

    auto number = [](qint64 v) { return QString::number(v); };
    auto byteNumber = [](const QString &field) { return QString::number(field.toUInt(nullptr, 16)); };
    QMap<QString, QString> out;
    out.insert(QStringLiteral("isRestart"), *restart);
    out.insert(QStringLiteral("isSkipLogin"), *skipLogin);
    out.insert(QStringLiteral("lightValue"), number(*light));
    out.insert(QStringLiteral("isOpenWifi"), *wifi);
    out.insert(QStringLiteral("beijingColorHex"), *colour);
    out.insert(QStringLiteral("beijingColor"), byteNumber(*colour));
    if (*time)
        out.insert(QStringLiteral("restartTimeString"), **time);
    if (*path)
        out.insert(QStringLiteral("transPathString"), **path);
    out.insert(QStringLiteral("isOpenkaiguan"), *screenSwitch);
    out.insert(QStringLiteral("getredValue"), number(*red));
    out.insert(QStringLiteral("getgreenValue"), number(*green));
    out.insert(QStringLiteral("getblueValue"), number(*blue));
    out.insert(QStringLiteral("shipinyuanHex"), *source);
    out.insert(QStringLiteral("shipinyuan"), byteNumber(*source));
    out.insert(QStringLiteral("xuanzhuanHex"), *rotation);
    out.insert(QStringLiteral("xuanzhuandu"), byteNumber(*rotation));
    return out;
}

std::optional<QMap<QString, QString>> getSystemYinliangValueWithModelNotice(const QString &replyHex)
{
    if (!isHexText(replyHex))
        return std::nullopt;
    HexReader r(replyHex, 12);
    const auto maximum = r.takeNumber(1);
    const auto current = r.takeNumber(1);
    if (!maximum || !current)
        return std::nullopt;
    return QMap<QString, QString>{{QStringLiteral("MaxyinliangValue"), QString::number(*maximum)},
                                  {QStringLiteral("TheyinliangValue"), QString::number(*current)}};
}

} // namespace SettingsCommands
