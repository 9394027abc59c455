#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The content of one transfer: either bytes that exist only in memory (a
// picture encoded here), or a file on disk, known by what the file system
// said about it when it was picked. Nothing of a file is read until the
// file stream writes it, so a video of any size costs no memory here.
class FilesContent
{
public:
    FilesContent() = default;
    static FilesContent fromBytes(const QByteArray &bytes);
    // The regular file at path, its size and identity taken from the file
    // system. Nothing when there is no readable regular file there; error
    // then says why.
    static std::optional<FilesContent> fromFile(const QString &path, QString *error = nullptr);

    bool isFile() const { return m_isFile; }
    // Empty for a file.
    QByteArray bytes() const { return m_bytes; }
    QString path() const { return m_path; }
    qint64 size() const { return m_size; }

    // Opens the file for reading and checks that it is still the one that
    // was picked: same file, same size, not written since. Returns the
    // descriptor (the caller closes it), or -1 with the reason in error.
    int openUnchanged(QString *error) const;
    // Whether the open file still is as it was picked; error says why not.
    bool stillUnchanged(int fd, QString *error) const;

private:
    bool m_isFile = false;
    QByteArray m_bytes;
    QString m_path;
    qint64 m_size = 0;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    qint64 m_modifiedNs = 0;
};
