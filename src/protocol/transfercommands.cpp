#include "protocol/transfercommands.h"

#include "core/logging.h"
#include "core/logsink.h"
#include "net/sendsocket.h"
#include "protocol/frame.h"

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
    return QStringList{QVmethodLib::TenToHex(bytes), QVmethodLib::chineseToHex(name)};
}

QString firstName(const QVariantList &dataSource)
{
    return dataSource.isEmpty() ? QString()
                                : dataSource.constFirst().toMap().value(QStringLiteral("filesName")).toString();
}

void sendNameCommand(const RequestSpec &spec, const QVariantList &dataSource, const QString &windowID)
{
    // An empty list names no file: nothing to add or show.
    if (dataSource.isEmpty())
        return;
    const std::optional<QStringList> name = nameFields(firstName(dataSource));
    if (!name)
        return;
    Frame::send(spec, Frame::fill(spec, QStringList{windowID} + *name));
}
}

namespace QVmethodLib {

QString filesInfoFrame(qint64 contentLength, const QString &filesType, const QString &filesName,
                       const QString &windowID)
{
    const std::optional<QStringList> name = nameFields(filesName);
    if (!name)
        return QString();
    return Frame::fill(Catalogue::kFileAnnouncement, QStringList{windowID, filesType} + *name
                                                         + QStringList{TenToHexWitheightHex(contentLength)});
}

void sendFilesInfo(qint64 contentLength, const QString &filesType, const QString &filesName,
                   const QString &windowID)
{
    const QString frame = filesInfoFrame(contentLength, filesType, filesName, windowID);
    if (frame.isEmpty())
        return;
    SendSocket::shareMananger().sendString(frame, SendSocket::kFilesInfoTag);
}

void sendFilesInfo(const QByteArray &filesData, const QString &filesType, const QString &filesName,
                   const QString &windowID)
{
    sendFilesInfo(qint64(filesData.size()), filesType, filesName, windowID);
}

void addTovedioListWithDataSource(const QVariantList &dataSource, const QString &windowID)
{
    sendNameCommand(Catalogue::kAddToPlayList, dataSource, windowID);
}

void toShowImageWithDataSource(const QVariantList &dataSource, const QString &windowID)
{
    sendNameCommand(Catalogue::kShowImage, dataSource, windowID);
}

void backToCloseSendFilesWithDataSource(const QVariantMap &entry)
{
    SendSocket::shareMananger().disconnectTosocket();
    const std::optional<QStringList> name = nameFields(entry.value(QStringLiteral("filesName")).toString());
    if (!name)
        return;
    const QString type = entry.value(QStringLiteral("filesType")).toString();
    Frame::send(Catalogue::kCloseSendFiles, Frame::fill(Catalogue::kCloseSendFiles, QStringList{type} + *name));
}

} // namespace QVmethodLib
