#include "protocol/transfercommands.h"

#include "core/logging.h"
#include "protocol/hexcodec.h"

namespace {
constexpr qsizetype kMaxNameBytes = 0xffff;

// The name's byte count and bytes, or nothing when the count cannot say it.
std::optional<QStringList> nameFields(const QString &name)
{
    const qsizetype bytes = name.toUtf8().size();
    if (bytes > kMaxNameBytes) {
        qevaLog(lcProtocol, QStringLiteral("file name of %1 bytes not sent").arg(bytes));
        return std::nullopt;
    }
    return QStringList{HexCodec::TenToHex(bytes), HexCodec::chineseToHex(name)};
}

std::optional<Request> nameCommand(const RequestSpec &row, const QVariantList &dataSource, const QString &windowID)
{
    if (dataSource.isEmpty())
        return std::nullopt;
    const std::optional<QStringList> name =
        nameFields(dataSource.constFirst().toMap().value(QStringLiteral("filesName")).toString());
    if (!name)
        return std::nullopt;
    return Frame::build(row, QStringList{windowID} + *name);
}
} // namespace

namespace TransferCommands {

std::optional<Request> filesInfo(qint64 contentLength, const QString &filesType, const QString &filesName,
                                 const QString &windowID)
{
    const std::optional<QStringList> name = nameFields(filesName);
    if (!name)
        return std::nullopt;
    return Frame::build(Catalogue::kFileAnnouncement, QStringList{windowID, filesType} + *name
                                                          + QStringList{HexCodec::TenToHexWitheightHex(contentLength)});
}

std::optional<Request> addToPlayList(const QVariantList &dataSource, const QString &windowID)
{
    return nameCommand(Catalogue::kAddToPlayList, dataSource, windowID);
}

std::optional<Request> showImage(const QVariantList &dataSource, const QString &windowID)
{
    return nameCommand(Catalogue::kShowImage, dataSource, windowID);
}

std::optional<Request> closeSendFiles(const QVariantMap &entry)
{
    const std::optional<QStringList> name = nameFields(entry.value(QStringLiteral("filesName")).toString());
    if (!name)
        return std::nullopt;
    const QString type = entry.value(QStringLiteral("filesType")).toString();
    return Frame::build(Catalogue::kCloseSendFiles, QStringList{type} + *name);
}

} // namespace TransferCommands
