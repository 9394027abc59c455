// Sending a file from this machine to a window's play list, as the file
// sending screen does: the announcement and the content over the file
// stream, then the add-to-list command and, when asked, the show command.
#include "clicall.h"
#include "clivalue.h"
#include "commandlist.h"

#include "core/appcontext.h"
#include "net/qvmethodlib.h"
#include "net/sendsocket.h"
#include "protocol/transfercommands.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QObject>
#include <QTcpSocket>
#include <QTextStream>
#include <QVariantMap>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// The pauses of the file sending screen: the content goes one second after
// the announcement, the add-to-list command 1.5 seconds after the content.
constexpr int kContentDelayMs = 1000;
constexpr int kAddToListDelayMs = 1500;
constexpr int kBarWidth = 30;

const QStringList kTypes{QStringLiteral("picture"), QStringLiteral("video")};
const QStringList kPictureSuffixes{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                   QStringLiteral("bmp"), QStringLiteral("gif")};
const QStringList kVideoSuffixes{QStringLiteral("mov"), QStringLiteral("mp4"), QStringLiteral("m4v"),
                                 QStringLiteral("avi"), QStringLiteral("mkv"), QStringLiteral("wmv"),
                                 QStringLiteral("mpg"), QStringLiteral("mpeg"), QStringLiteral("ts"),
                                 QStringLiteral("flv")};

// A byte count or rate in binary units: 512 B, 12.0 KiB, 85.3 MiB.
QString binarySize(double bytes)
{
    static const char *const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    while (bytes >= 1024 && unit < 4) {
        bytes /= 1024;
        ++unit;
    }
    return unit == 0 ? QStringLiteral("%1 B").arg(qint64(bytes))
                     : QStringLiteral("%1 %2").arg(bytes, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString clockText(qint64 seconds)
{
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The progress bar, drawn on standard error while it is a terminal: how
// much is out, at what rate since the content began, and how long the rest
// takes at that rate.
class ProgressBar
{
public:
    ProgressBar(const QString &label, qint64 total, bool enabled)
        : m_label(label), m_total(total), m_enabled(enabled)
    {
    }
    // The content begins: the rate counts from here.
    void start() { m_clock.start(); }
    void show(qint64 done, bool last = false)
    {
        if (!m_enabled || !m_clock.isValid())
            return;
        // A redraw per pass would be thousands for a large file.
        const qint64 now = m_clock.elapsed();
        if (!last && m_drawn && now - m_drawnAt < kRedrawMs)
            return;
        m_drawnAt = now;
        done = std::min(done, m_total);
        const double part = m_total > 0 ? double(done) / double(m_total) : 1.0;
        const int filled = int(part * kBarWidth);
        const double rate = now > 0 ? double(done) * 1000.0 / double(now) : 0.0;
        const QString left = rate > 0 ? clockText(qint64(std::ceil(double(m_total - done) / rate)))
                                      : QStringLiteral("--:--");
        const QString line = QStringLiteral("\r%1 [%2%3] %4% %5/%6 KiB  %7/s  %8 left\x1b[K")
                                 .arg(m_label)
                                 .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
                                 .arg(int(part * 100), 3)
                                 .arg(done / 1024)
                                 .arg(m_total / 1024)
                                 .arg(binarySize(rate), left);
        std::fputs(line.toUtf8().constData(), stderr);
        std::fflush(stderr);
        m_drawn = true;
    }
    void end()
    {
        if (m_drawn)
            std::fputs("\n", stderr);
        m_drawn = false;
    }

private:
    static constexpr qint64 kRedrawMs = 100;
    QString m_label;
    qint64 m_total;
    bool m_enabled;
    QElapsedTimer m_clock;
    bool m_drawn = false;
    qint64 m_drawnAt = 0;
};

struct Transfer
{
    FilesContent content; // the file, read only as it goes out
    QString type;         // "01" picture, "03" video
    QString name;
    bool play = false;
};

// One transfer to one target; the target's outcome says how it went.
void sendTo(CliCall &c, CliTarget &t, const Transfer &f)
{
    AppContext &ctx = c.context();
    SendSocket &stream = ctx.shared<SendSocket>();
    c.select(t);

    QObject listener;
    qint64 reported = 0;
    bool done = false;
    QString failed; // the content's file changed or went away
    const qint64 size = f.content.size();
    ProgressBar bar(t.address(), size, !c.globals().json && ::isatty(STDERR_FILENO));
    ctx.notices().subscribe(&listener, QLatin1String(SendSocket::kFilesLengthNotice), [&](const QVariant &v) {
        reported += v.toMap().value(QStringLiteral("partialLength")).toLongLong();
        bar.show(reported);
    });
    ctx.notices().subscribe(&listener, QLatin1String(SendSocket::kFilesDoneNotice), [&](const QVariant &) {
        done = true;
        bar.show(size, true);
    });
    ctx.notices().subscribe(&listener, QLatin1String(SendSocket::kFilesFailedNotice), [&](const QVariant &v) {
        failed = v.toMap().value(QStringLiteral("message")).toString();
    });
    const auto broken = [&stream] {
        QTcpSocket *s = stream.sendSocket();
        if (!s)
            return false;
        return !stream.writeError().isEmpty()
               || (s->state() == QAbstractSocket::UnconnectedState && s->error() != QAbstractSocket::UnknownSocketError);
    };
    const auto brokenWhy = [&stream] {
        return stream.writeError().isEmpty() ? stream.sendSocket()->errorString() : stream.writeError();
    };
    const QVariantMap entry{{QStringLiteral("filesType"), f.type}, {QStringLiteral("filesName"), f.name}};

    stream.disconnectTosocket();
    QVmethodLib::sendFilesInfo(size, f.type, f.name, t.window);
    c.session().wait(kContentDelayMs, broken);
    if (!broken()) {
        bar.start();
        bar.show(0);
        stream.sendData(f.content, 0);
        // A stream that stops moving for the time-out is given up.
        qint64 seen = -1;
        while (!done && failed.isEmpty() && !broken() && reported != seen) {
            seen = reported;
            c.session().wait(c.globals().timeoutMs,
                             [&] { return done || !failed.isEmpty() || broken() || reported != seen; });
        }
    }
    bar.end();
    if (!done) {
        const QString why = !failed.isEmpty() ? failed
                            : broken()        ? brokenWhy()
                                              : QStringLiteral("no progress within %1 s").arg(c.globals().timeoutMs / 1000.0);
        // As leaving the screen does: the server drops what it has.
        QVmethodLib::backToCloseSendFilesWithDataSource(entry);
        t.fail(QStringLiteral("file not sent: %1").arg(why));
        return;
    }

    c.session().wait(kAddToListDelayMs);
    const int before = c.session().framesTo(t.address());
    QVmethodLib::addTovedioListWithDataSource(QVariantList{entry}, t.window);
    if (f.play)
        QVmethodLib::toShowImageWithDataSource(QVariantList{entry}, t.window);
    if (c.session().framesTo(t.address()) == before) {
        t.fail(QStringLiteral("file sent, but the add-to-list command could not be"));
        return;
    }
    t.field(QStringLiteral("file"), f.name);
    t.field(QStringLiteral("bytes"), QString::number(size), double(size));
    t.succeed(QStringLiteral("%1 sent and added to window %2%3")
                  .arg(f.name, t.window, f.play ? QStringLiteral(", play sent") : QString()));
    stream.disconnectTosocket();
}

int send(CliCall &c)
{
    if (c.args().size() != 1)
        return c.usage(QStringLiteral("give one file to send"));
    const QString path = c.args().first();
    Transfer f;
    const QFileInfo info(path);
    f.name = c.isSet(QStringLiteral("name")) ? c.value(QStringLiteral("name")) : info.fileName();
    if (f.name.isEmpty() || f.name.toUtf8().size() > 0xffff)
        return c.usage(QStringLiteral("the file name must have 1 to 65535 bytes"));
    if (c.isSet(QStringLiteral("type"))) {
        const auto type = c.choice(c.value(QStringLiteral("type")), QStringLiteral("--type"), kTypes);
        if (!type)
            return c.status();
        f.type = *type == 0 ? QStringLiteral("01") : QStringLiteral("03");
    } else if (kPictureSuffixes.contains(info.suffix().toLower())) {
        f.type = QStringLiteral("01");
    } else if (kVideoSuffixes.contains(info.suffix().toLower())) {
        f.type = QStringLiteral("03");
    } else {
        return c.usage(QStringLiteral("cannot tell a picture from a video by \"%1\"; give --type").arg(info.fileName()));
    }
    // Its size and identity only: the file is read as it goes out, and must
    // not change meanwhile.
    QString why;
    const std::optional<FilesContent> content = FilesContent::fromFile(path, &why);
    if (!content)
        return c.usage(QStringLiteral("cannot read %1: %2").arg(path, why));
    if (content->size() == 0)
        return c.usage(QStringLiteral("%1 is empty").arg(path));
    f.content = *content;
    f.play = c.isSet(QStringLiteral("play"));

    if (!c.connect())
        return c.status();
    // One transfer at a time, as in the app: servers of --all in turn.
    for (CliTarget &t : c.targets())
        if (!t.failed())
            sendTo(c, t, f);
    return c.finish();
}

} // namespace

QList<CliCommand> transferCommands()
{
    return {cliCommand("send", "FILE [--play]", "Send a picture or video to the play list of --window.", true, send,
                       "Writes the file over the server's file stream, then adds it to the window's play list;\n"
                       "--play also shows it at once. On a terminal a progress bar shows the bytes sent, the rate\n"
                       "and the time left. The file is read as it goes out, whatever its size. The stream has no\n"
                       "acknowledgement: the file counts as sent when its last byte was handed to the network. A\n"
                       "stream that makes no progress for --timeout is given up and the server told to drop it, and\n"
                       "so is a file that changes or goes away while it is sent. With --all the servers get the\n"
                       "file one after another.",
                       {cliOption("play", "", "Show the file at once."),
                        cliOption("type", "picture|video", "The kind of file (default: from its suffix)."),
                        cliOption("name", "NAME", "The name on the server (default: the file's own name).")})};
}
