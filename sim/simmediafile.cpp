#include "simmediafile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

SimMediaFile::SimMediaFile(const QString &dir, const QString &name) : m_target(QDir(dir).filePath(name))
{
    // Hidden, so that a listing of the folder shows only complete files.
    m_temporary = QDir(dir).filePath(QStringLiteral(".receiving-XXXXXX"));
}

SimMediaFile::~SimMediaFile()
{
    cancel();
}

SimMediaFile::Entry SimMediaFile::entry(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return Entry::Missing;
    if (S_ISLNK(st.st_mode))
        return Entry::Link;
    return S_ISREG(st.st_mode) ? Entry::File : Entry::Other;
}

bool SimMediaFile::fail(const QString &what, int error)
{
    m_error = what.isEmpty() ? QString::fromLocal8Bit(std::strerror(error))
                             : QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

bool SimMediaFile::targetReplaceable()
{
    switch (entry(m_target)) {
    case Entry::Missing:
    case Entry::File:
        return true;
    case Entry::Link:
        m_error = QStringLiteral("the name is a symbolic link");
        return false;
    case Entry::Other:
        m_error = QStringLiteral("the name is not a regular file");
        return false;
    }
    return false;
}

bool SimMediaFile::open()
{
    if (!targetReplaceable())
        return false;
    QByteArray path = QFile::encodeName(m_temporary);
    // mkostemp opens with O_CREAT | O_EXCL: it makes a new file or fails.
    m_fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (m_fd < 0)
        return fail(QString(), errno);
    m_temporary = QFile::decodeName(path);
    return true;
}

bool SimMediaFile::write(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(QString(), n < 0 ? errno : ENOSPC);
        data += n;
        size -= n;
    }
    return true;
}

bool SimMediaFile::commit()
{
    // Synced before it takes the name: a file under its name is complete.
    if (::fdatasync(m_fd) != 0)
        return fail(QString(), errno);
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        return fail(QString(), errno);
    // A link may have been put under the name while the bytes came in.
    if (!targetReplaceable())
        return false;
    if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        return fail(QString(), errno);
    m_temporary.clear();
    return true;
}

void SimMediaFile::cancel()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporary.isEmpty() && !m_temporary.endsWith(QLatin1String("XXXXXX")))
        ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}
