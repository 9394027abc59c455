#include "net/filescontent.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 modifiedNs(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

FilesContent FilesContent::fromBytes(const QByteArray &bytes)
{
    FilesContent c;
    c.m_bytes = bytes;
    c.m_size = bytes.size();
    return c;
}

std::optional<FilesContent> FilesContent::fromFile(const QString &path, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st{};
    if (::stat(native.constData(), &st) != 0) {
        if (error)
            *error = errnoText(errno);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error)
            *error = QStringLiteral("not a regular file");
        return std::nullopt;
    }
    if (::access(native.constData(), R_OK) != 0) {
        if (error)
            *error = errnoText(errno);
        return std::nullopt;
    }
    FilesContent c;
    c.m_isFile = true;
    c.m_path = path;
    c.m_size = qint64(st.st_size);
    c.m_device = quint64(st.st_dev);
    c.m_inode = quint64(st.st_ino);
    c.m_modifiedNs = modifiedNs(st);
    return c;
}

int FilesContent::openUnchanged(QString *error) const
{
    if (!m_isFile) {
        *error = QStringLiteral("no file behind this content");
        return -1;
    }
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(m_path, errnoText(errno));
        return -1;
    }
    if (!stillUnchanged(fd, error)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool FilesContent::stillUnchanged(int fd, QString *error) const
{
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        *error = QStringLiteral("cannot look at %1: %2").arg(m_path, errnoText(errno));
        return false;
    }
    // Another file under the same name is not the one announced.
    if (quint64(st.st_dev) != m_device || quint64(st.st_ino) != m_inode) {
        *error = QStringLiteral("%1 was replaced since it was picked").arg(m_path);
        return false;
    }
    if (qint64(st.st_size) != m_size) {
        *error = QStringLiteral("%1 is now %2 bytes, %3 were announced").arg(m_path).arg(qint64(st.st_size)).arg(m_size);
        return false;
    }
    // Same size but written to: what goes out could mix old and new bytes.
    if (modifiedNs(st) != m_modifiedNs) {
        *error = QStringLiteral("%1 was written to since it was picked").arg(m_path);
        return false;
    }
    return true;
}
