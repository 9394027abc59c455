#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class AppContext;

// What a picker hands back: the kind of media, and either the unedited
// picture or the file of the movie.
struct PickedMedia
{
    static constexpr const char *kImage = "public.image";
    static constexpr const char *kMovie = "public.movie";

    QString mediaType; // kImage, kMovie, or whatever else was picked
    QImage originalImage;
    QString mediaURL;  // the movie's (or picked file's) local path
};

// The desktop's stand-in for the phone's camera and photo album. The album
// is a file dialog on the page (it hands the chosen path to the screen);
// this layer tells pictures from movies and reads them. A desktop has no
// camera the client can drive unless one is installed here.
class MediaPicker
{
public:
    // One still picture, or nothing when the user gave up.
    using Camera = std::function<std::optional<QImage>()>;

    explicit MediaPicker(AppContext &ctx);
    static MediaPicker &shared();

    void setCamera(Camera camera) { m_camera = std::move(camera); }
    bool isCameraAvailable() const { return bool(m_camera); }
    std::optional<QImage> takePicture() const;

    // The album's filters for the file dialog: pictures and videos.
    static QStringList albumNameFilters();
    // Where the album opens: the folder of the last file picked in this
    // run, else the user's pictures, videos or home folder, whichever exists.
    QString albumFolder() const;
    void rememberPicked(const QString &path);
    // A picked file as the phone's picker would describe it: a picture is
    // decoded (turned as its own orientation tag says), a movie is only
    // named. A file that is neither, or a picture that cannot be decoded,
    // has another media type ("public.data" / "public.unreadable").
    static PickedMedia mediaFromFile(const QString &path);
    // The picture as JPEG at the given quality (0.0 to 1.0).
    static QByteArray jpegRepresentation(const QImage &image, double quality = 1.0);

private:
    Camera m_camera;
    QString m_lastFolder;
};
