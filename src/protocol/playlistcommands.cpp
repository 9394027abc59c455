#include "protocol/playlistcommands.h"

#include "protocol/hexcodec.h"
#include "protocol/hexreader.h"

#include <algorithm>

namespace PlayListCommands {

Request playListQuery(const QString &windowId, const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kPlayListQuery, {windowId, phoneIpHex});
}

Request playSingle(const QString &indexHex, const QString &windowId)
{
    // The window id comes first in the frame.
    return Frame::build(Catalogue::kPlaySingle, {windowId, indexHex});
}

Request checkEntry(const QString &indexHex, const QString &state, const QString &windowId)
{
    return Frame::build(Catalogue::kCheckState, {windowId, indexHex, state});
}

Request playControl(const QString &windowId, const QString &orderId)
{
    return Frame::build(Catalogue::kPlayControl, {windowId, orderId});
}

Request playMode(const QString &windowId, const QString &modeId)
{
    return Frame::build(Catalogue::kPlayMode, {windowId, modeId});
}

Requests appendFiles(const QVariantList &chooseList, const QString &windowId)
{
    Requests out;
    for (qsizetype i = 0; i < chooseList.size(); ++i) {
        const QVariantMap entry = chooseList.at(i).toMap();
        const QString lenHex = entry.value(QStringLiteral("filesLenHex")).toString();
        const QString nameHex = entry.value(QStringLiteral("filesContentHex")).toString();
        if (i + 1 < chooseList.size()) {
            out << Frame::build(Catalogue::kAppendPlayFilesMore, {windowId, lenHex, nameHex});
        } else {
            // The server checks the last frame by the length of its own fields.
            const QString end = HexCodec::TenToHexForTwo((lenHex.size() + nameHex.size()) % 100);
            out << Frame::build(Catalogue::kAppendPlayFilesLast, {windowId, lenHex, nameHex, end});
        }
    }
    return out;
}

Request deviceFilesQuery(const QString &phoneIpHex)
{
    return Frame::build(Catalogue::kDeviceFilesQuery, {phoneIpHex});
}

Request windowVolume(const QString &windowId, qint64 volume)
{
    return Frame::build(Catalogue::kWindowVolume, {windowId, HexCodec::TenToHexForTwo(volume)});
}

Request deleteEntry(const QString &windowId, qint64 index, bool alsoDeleteFile)
{
    const RequestSpec &row = alsoDeleteFile ? Catalogue::kDeletePlayItem01 : Catalogue::kDeletePlayItem02;
    return Frame::build(row, {windowId, HexCodec::TenToHex(index)});
}

Request clearPlayList(const QString &windowId)
{
    return Frame::build(Catalogue::kClearPlayList, {windowId});
}

bool isLastOfSequence(const QString &replyHex)
{
    return !HexCodec::isExsitTheStringWithCheckString(QStringLiteral("ff00"), replyHex);
}

QString readableFileName(const QString &nameHex)
{
    if (const std::optional<QString> text = HexCodec::stringFromHexString(nameHex))
        return *text;
    const std::optional<QByteArray> bytes = HexCodec::hexStringToByteToNSData(nameHex);
    if (!bytes)
        return nameHex;
    // Like the strict reading, the text ends at a zero byte.
    const QByteArray upToZero(bytes->constData(), qsizetype(qstrnlen(bytes->constData(), size_t(bytes->size()))));
    QString lossy = QString::fromUtf8(upToZero);
    const bool anyText = std::any_of(lossy.cbegin(), lossy.cend(), [](QChar c) {
        return c != QChar(QChar::ReplacementCharacter) && c.isPrint();
    });
    return anyText ? lossy : QStringLiteral("0x") + nameHex.toLower();
}

QString fileNameOfPath(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

std::optional<QMap<QString, QString>> getPlayControlListInfoWithModelNotice(const QString &replyHex)
{
    HexReader r(replyHex, 12);
    const std::optional<qint64> volume = r.takeNumber(1), position = r.takeNumber(2), flag = r.takeNumber(1),
                                length = r.takeNumber(2);
    if (!volume || !position || !flag || !length)
        return std::nullopt;
    const std::optional<QString> path = r.take(*length);
    if (!path)
        return std::nullopt;
    return QMap<QString, QString>{{QStringLiteral("vedioYinliang"), QString::number(*volume)},
                                  {QStringLiteral("vedioWeizhi"), QString::number(*position)},
                                  {QStringLiteral("isEntry"), QString::number(*flag)},
                                  {QStringLiteral("filesContent"), readableFileName(*path)}};
}

std::optional<QMap<QString, QString>> readPlayState(const QString &replyHex)
{
    HexReader r(replyHex, 12);
    const std::optional<QString> window = r.take(1);
    const std::optional<qint64> index = r.takeNumber(2);
    if (!window || !index)
        return std::nullopt;
    return QMap<QString, QString>{{QStringLiteral("windowID"), window->toLower()},
                                  {QStringLiteral("thePlayVedio"), QString::number(*index)}};
}

std::optional<QMap<QString, QString>> getDeviceFilesListInfoWithModelNotice(const QString &replyHex)
{
    HexReader r(replyHex, 12);
    const std::optional<QString> lenHex = r.take(2);
    const std::optional<qint64> length = HexReader(lenHex.value_or(QString())).takeNumber(2);
    if (!lenHex || !length)
        return std::nullopt;
    const std::optional<QString> nameHex = r.take(*length);
    if (!nameHex)
        return std::nullopt;
    return QMap<QString, QString>{{QStringLiteral("filesLenHex"), *lenHex},
                                  {QStringLiteral("filesContentHex"), *nameHex},
                                  {QStringLiteral("filesContent"), readableFileName(*nameHex)},
                                  {QStringLiteral("checked"), QStringLiteral("NO")},
                                  {QStringLiteral("isFinished"), isLastOfSequence(replyHex) ? QStringLiteral("1")
                                                                                             : QStringLiteral("0")}};
}

} // namespace PlayListCommands
