#include "protocol/windowcommands.h"

#include "core/logging.h"
#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"

#include <QRegularExpression>
#include <limits>

namespace WindowCommands {

WindowRecord WindowRecord::fromReply(const QMap<QString, QString> &reply, const QString &windowId)
{
    WindowRecord r;
    r.windowId = windowId;
    r.fullScreen = r.onTop = QStringLiteral("02");
    r.x = reply.value(QStringLiteral("XLong"));
    r.y = reply.value(QStringLiteral("YLong"));
    r.width = reply.value(QStringLiteral("WLong"));
    r.height = reply.value(QStringLiteral("HLong"));
    r.effect = HexCodec::TenToHex(reply.value(QStringLiteral("ChangeType")).toLongLong());
    r.interval = HexCodec::TenToHex(reply.value(QStringLiteral("Changejiange")).toLongLong());
    return r;
}

qint64 WindowRecord::effectNumber() const
{
    return effect.toLongLong(nullptr, 16);
}

qint64 WindowRecord::intervalNumber() const
{
    return interval.toLongLong(nullptr, 16);
}

QVariantMap WindowRecord::parameters() const
{
    return {{QStringLiteral("windowID"), windowId}, {QStringLiteral("IsFullScreen"), fullScreen},
            {QStringLiteral("IsUpTop"), onTop},     {QStringLiteral("weizhiX"), x},
            {QStringLiteral("weizhiY"), y},         {QStringLiteral("daxiaoX"), width},
            {QStringLiteral("daxiaoY"), height},    {QStringLiteral("animationHex"), effect},
            {QStringLiteral("qiehuanjiangeHex"), interval}};
}

namespace {
bool isHexOfBytes(const QString &text, int bytes)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]*$"));
    return text.size() == 2 * bytes && hex.match(text).hasMatch();
}
}

Request addWindow()
{
    return Frame::build(Catalogue::kAddWindow);
}

Requests closeWindows(const QVariantList &chooseWindow)
{
    Requests out;
    for (const QVariant &entry : chooseWindow)
        out << Frame::build(Catalogue::kCloseWindow, {entry.toMap().value(QStringLiteral("WinID")).toString()});
    return out;
}

Request windowInfoQuery(const QString &windowId, const QString &phoneIpHex)
{
    const Request request = Frame::build(Catalogue::kWindowInfoQuery, {windowId, phoneIpHex});
    qevaLog(lcProtocol, QStringLiteral("windowParam = %1").arg(request.frame));
    return request;
}

qint64 windowGeometryValue(const QString &text)
{
    return HexCodec::integerValue(text);
}

std::optional<Request> setWindow(const QVariantMap &parameters)
{
    const auto value = [&](const char *key) { return parameters.value(QLatin1String(key)).toString(); };
    QStringList fields{value("windowID"), value("IsFullScreen"), value("IsUpTop")};
    for (const char *key : {"weizhiX", "weizhiY", "daxiaoX", "daxiaoY"}) {
        const qint64 v = windowGeometryValue(value(key));
        // Two bytes hold 0 to 65535; anything else would shift every later field.
        if (v < 0 || v > 0xffff) {
            qevaLog(lcProtocol, QStringLiteral("window settings not sent: %1 %2 is outside 0 to 65535")
                                    .arg(QLatin1String(key))
                                    .arg(v));
            return std::nullopt;
        }
        fields << HexCodec::TenToHex(v);
    }
    fields << value("animationHex") << value("qiehuanjiangeHex");
    const int widths[] = {1, 1, 1, 2, 2, 2, 2, 2, 2};
    static const char *names[] = {"windowID", "IsFullScreen", "IsUpTop", "weizhiX", "weizhiY",
                                  "daxiaoX",  "daxiaoY",      "animationHex", "qiehuanjiangeHex"};
    for (int i = 0; i < fields.size(); ++i) {
        if (!isHexOfBytes(fields.at(i), widths[i])) {
            qevaLog(lcProtocol, QStringLiteral("window settings not sent: %1 \"%2\" is not %3 hex digits")
                                    .arg(QLatin1String(names[i]), fields.at(i))
                                    .arg(2 * widths[i]));
            return std::nullopt;
        }
    }
    return Frame::build(Catalogue::kSetWindow, fields);
}

std::optional<qint64> windowPositionFromHex(const QString &fourHex)
{
    HexReader r(fourHex);
    const std::optional<QString> first = r.take(1);
    const std::optional<qint64> second = r.takeNumber(1);
    if (!first || !second)
        return std::nullopt;
    if (first->compare(QLatin1String("ff"), Qt::CaseInsensitive) == 0)
        return -*second;
    return HexReader(fourHex).takeNumber(2);
}

std::optional<QMap<QString, QString>> getPlayWindowInitInfoWithModelNotice(const QString &replyHex)
{
    HexReader r(replyHex, 12);
    const std::optional<QString> x = r.take(2), y = r.take(2);
    const std::optional<qint64> w = r.takeNumber(2), h = r.takeNumber(2), effect = r.takeNumber(2),
                                interval = r.takeNumber(2);
    if (!x || !y || !w || !h || !effect || !interval)
        return std::nullopt;
    const std::optional<qint64> xv = windowPositionFromHex(*x), yv = windowPositionFromHex(*y);
    if (!xv || !yv)
        return std::nullopt;
    return QMap<QString, QString>{{QStringLiteral("XLong"), QString::number(*xv)},
                                  {QStringLiteral("YLong"), QString::number(*yv)},
                                  {QStringLiteral("WLong"), QString::number(*w)},
                                  {QStringLiteral("HLong"), QString::number(*h)},
                                  {QStringLiteral("ChangeType"), QString::number(*effect)},
                                  {QStringLiteral("Changejiange"), QString::number(*interval)}};
}

} // namespace WindowCommands
