#pragma once

#include <QString>

// One received file being written into the media folder. The bytes go to
// a fresh temporary file of the folder (created exclusively, so no link can
// stand in its place); commit() syncs it and renames it over the name,
// which never follows a link either. A name that is a symbolic link, or
// anything but a regular file, is refused rather than replaced or written
// through. Errors are the system's own texts ("No space left on device").
class SimMediaFile
{
public:
    SimMediaFile(const QString &dir, const QString &name);
    ~SimMediaFile(); // cancels what was not committed
    SimMediaFile(const SimMediaFile &) = delete;
    SimMediaFile &operator=(const SimMediaFile &) = delete;

    bool open();
    bool write(const char *data, qint64 size);
    bool commit();
    // Closes and removes the temporary file; the name is left as it was.
    void cancel();
    QString errorString() const { return m_error; }

    // What stands under the name, without following a link.
    enum class Entry { Missing, File, Link, Other };
    static Entry entry(const QString &path);

private:
    bool fail(const QString &what, int error);
    // Whether the name may be replaced; sets the error when not.
    bool targetReplaceable();

    QString m_target;
    QString m_temporary;
    int m_fd = -1;
    QString m_error;
};
