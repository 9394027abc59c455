// qevactl send against qeva-sim, both as processes on loopback: the file
// streamed from disk, the progress bar a terminal shows, and a file that
// changes after it was announced.
#include "transferfixture.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <pty.h>

namespace {

const QString kSimAddress = QStringLiteral("127.0.0.2");

class QevactlSendTest : public ::testing::Test
{
protected:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_phonePort = freeUdpPort(QHostAddress(QStringLiteral("127.0.0.1")));
        m_udpPort = freeUdpPort(QHostAddress(kSimAddress));
        m_timePort = freeUdpPort(QHostAddress(kSimAddress));
        m_tcpPort = freeTcpPort(QHostAddress(kSimAddress));
        ASSERT_TRUE(m_phonePort && m_udpPort && m_timePort && m_tcpPort && m_udpPort != m_timePort);
        m_media = m_dir.filePath(QStringLiteral("media"));
        m_log = m_dir.filePath(QStringLiteral("sim.log"));
        m_sim.setProcessEnvironment(environment());
        m_sim.start(QStringLiteral(QEVA_SIM_BIN),
                    {QStringLiteral("--bind"), kSimAddress, QStringLiteral("--announce-to"),
                     QStringLiteral("127.0.0.1:%1").arg(m_phonePort), QStringLiteral("--reply-port"),
                     QString::number(m_phonePort), QStringLiteral("--udp-port"), QString::number(m_udpPort),
                     QStringLiteral("--time-port"), QString::number(m_timePort), QStringLiteral("--tcp-port"),
                     QString::number(m_tcpPort), QStringLiteral("--media-dir"), m_media, QStringLiteral("--log"), m_log});
        ASSERT_TRUE(m_sim.waitForStarted(10000));
        ASSERT_TRUE(waitForLog(QStringLiteral("send 5001"), 20000)) << m_sim.readAllStandardError().toStdString();
    }
    void TearDown() override
    {
        m_sim.terminate();
        if (!m_sim.waitForFinished(10000)) {
            m_sim.kill();
            m_sim.waitForFinished(5000);
        }
    }

    static QProcessEnvironment environment()
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        e.remove(QStringLiteral("QEVACTL_SERVER"));
        return e;
    }
    QStringList sendArgs(const QString &path) const
    {
        return {QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QString::number(m_phonePort),
                QStringLiteral("--server-port"), QString::number(m_udpPort), QStringLiteral("--time-port"),
                QString::number(m_timePort), QStringLiteral("--file-port"), QString::number(m_tcpPort),
                QStringLiteral("--timeout"), QStringLiteral("5"), QStringLiteral("-s"), kSimAddress,
                QStringLiteral("send"), path};
    }
    bool hasLog(const QString &part) const
    {
        QFile f(m_log);
        return f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(part);
    }
    bool waitForLog(const QString &part, int ms = 10000) const
    {
        return waitUntil([&] { return hasLog(part); }, ms);
    }
    // Starts qevactl with its standard error on a terminal of its own when
    // asked (the bar is drawn only there); the terminal is read as it goes.
    void start(QProcess &p, const QStringList &args, bool terminal)
    {
        if (terminal) {
            int slave = -1;
            ASSERT_EQ(::openpty(&m_master, &slave, nullptr, nullptr, nullptr), 0);
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
            p.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
            p.setProcessEnvironment(environment());
            p.start(QStringLiteral(QEVA_CTL_BIN), args);
            ::close(slave);
        } else {
            p.setProcessEnvironment(environment());
            p.start(QStringLiteral(QEVA_CTL_BIN), args);
        }
    }
    Run finish(QProcess &p)
    {
        Run r;
        const QDeadlineTimer deadline(60000);
        while (!p.waitForFinished(20) && !deadline.hasExpired())
            drainTerminal();
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(5000);
            return r;
        }
        drainTerminal();
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    void drainTerminal()
    {
        if (m_master < 0)
            return;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            m_terminal.append(buffer, int(n));
    }
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    QTemporaryDir m_dir;
    QString m_media;
    QString m_log;
    QProcess m_sim;
    quint16 m_phonePort = 0, m_udpPort = 0, m_timePort = 0, m_tcpPort = 0;
    int m_master = -1;
    QByteArray m_terminal;
};

TEST_F(QevactlSendTest, TheFileArrivesWholeAndTheBarShowsRateAndTimeLeftInKibibytes)
{
    const QByteArray video = patternBytes(24 * 1024 * 1024 + 5, 11);
    const QString path = writeFile(QStringLiteral("clip.mov"), video);
    QProcess p;
    start(p, sendArgs(path), true);
    const Run r = finish(p);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    ASSERT_TRUE(waitForLog(QStringLiteral("state transfer added clip.mov to window 01")));
    QFile stored(QDir(m_media).filePath(QStringLiteral("clip.mov")));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(QCryptographicHash::hash(stored.readAll(), QCryptographicHash::Sha256),
              QCryptographicHash::hash(video, QCryptographicHash::Sha256));

    // Every drawing of the bar, the last one complete.
    const QString terminal = QString::fromUtf8(m_terminal);
    QStringList drawn = terminal.split(QRegularExpression(QStringLiteral("[\\r\\n]")), Qt::SkipEmptyParts);
    drawn = drawn.filter(QStringLiteral("127.0.0.2 ["));
    ASSERT_FALSE(drawn.isEmpty()) << terminal.toStdString();
    const QRegularExpression bar(QStringLiteral(
        "^127\\.0\\.0\\.2 \\[[#.]{30}\\] +(\\d+)% (\\d+)/(\\d+) KiB  (?:[\\d.]+ (?:B|KiB|MiB|GiB)|0 B)/s  "
        "(\\d+:\\d\\d|--:--) left\\x1b\\[K$"));
    for (const QString &line : std::as_const(drawn))
        EXPECT_TRUE(bar.match(line).hasMatch()) << line.toStdString();
    const QRegularExpressionMatch last = bar.match(drawn.constLast());
    ASSERT_TRUE(last.hasMatch()) << drawn.constLast().toStdString();
    EXPECT_EQ(last.captured(1), QStringLiteral("100"));
    EXPECT_EQ(last.captured(2).toLongLong(), video.size() / 1024);
    EXPECT_EQ(last.captured(3).toLongLong(), video.size() / 1024);
    EXPECT_EQ(last.captured(4), QStringLiteral("0:00"));
    EXPECT_FALSE(terminal.contains(QStringLiteral(" KB"))) << terminal.toStdString();
}

TEST_F(QevactlSendTest, AFileCutAfterItsAnnouncementIsNotSentAndTheServerDropsIt)
{
    const QString path = writeFile(QStringLiteral("clip.mov"), patternBytes(3 * 1024 * 1024, 12));
    QProcess p;
    start(p, sendArgs(path), false);
    // The announcement is in; the content follows a second later.
    ASSERT_TRUE(waitForLog(QStringLiteral("state transfer receiving clip.mov (3145728 bytes")));
    ASSERT_TRUE(QFile::resize(path, 1000));
    const Run r = finish(p);
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE((r.out + r.err).contains(QStringLiteral("file not sent: %1 is now 1000 bytes, 3145728 were announced").arg(path)))
        << r.out.toStdString() << r.err.toStdString();
    ASSERT_TRUE(waitForLog(QStringLiteral("state transfer discarded clip.mov after 0 of 3145728 bytes")));
    EXPECT_FALSE(hasLog(QStringLiteral("received clip.mov")));
    EXPECT_FALSE(hasLog(QStringLiteral("added clip.mov")));
    EXPECT_FALSE(QFile::exists(QDir(m_media).filePath(QStringLiteral("clip.mov"))));
}

} // namespace
