#include "screens/transfer/mediapicker.h"

#include "core/appcontext.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QImageReader>
#include <QMimeDatabase>

MediaPicker::MediaPicker(AppContext &)
{
}

MediaPicker &MediaPicker::shared()
{
    return AppContext::current()->shared<MediaPicker>();
}

std::optional<QImage> MediaPicker::takePicture() const
{
    if (!m_camera)
        return std::nullopt;
    return m_camera();
}

QStringList MediaPicker::albumNameFilters()
{
    return {QCoreApplication::translate("MediaPicker", "图片和视频")
                + QStringLiteral(" (*.jpg *.jpeg *.png *.bmp *.gif *.webp *.heic *.mov *.mp4 *.m4v *.avi *.mkv *.wmv "
                                 "*.mpg *.mpeg *.ts *.webm *.3gp)"),
            QCoreApplication::translate("MediaPicker", "所有文件") + QStringLiteral(" (*)")};
}

QString MediaPicker::albumFolder() const
{
    if (!m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir())
        return m_lastFolder;
    for (const auto location : {QStandardPaths::PicturesLocation, QStandardPaths::MoviesLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

void MediaPicker::rememberPicked(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        m_lastFolder = info.absolutePath();
}

PickedMedia MediaPicker::mediaFromFile(const QString &path)
{
    PickedMedia media;
    media.mediaURL = path;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        media.mediaType = QStringLiteral("public.unreadable");
        return media;
    }
    // The extension first (an empty or cut file still says what it is
    // meant to be), then the content for files without a telling one.
    const QMimeDatabase db;
    QString name = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    if (!name.startsWith(QLatin1String("video/")) && !name.startsWith(QLatin1String("image/")))
        name = db.mimeTypeForFile(path).name();
    if (name.startsWith(QLatin1String("video/"))) {
        media.mediaType = QLatin1String(PickedMedia::kMovie);
        return media;
    }
    if (name.startsWith(QLatin1String("image/"))) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        media.originalImage = reader.read();
        media.mediaType = media.originalImage.isNull() ? QStringLiteral("public.unreadable")
                                                       : QLatin1String(PickedMedia::kImage);
        return media;
    }
    media.mediaType = QStringLiteral("public.data");
    return media;
}

QByteArray MediaPicker::jpegRepresentation(const QImage &image, double quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", qBound(0, qRound(quality * 100), 100)))
        return QByteArray();
    return bytes;
}
