// Sending a file from this machine to a window's play list, as the file
// sending screen does: the announcement and the content over the file
// stream, then the add-to-list command and, when asked, the show command.
#include "clicall.h"
#include "clivalue.h"

#include "core/appcontext.h"
#include "net/sendsocket.h"
#include "protocol/transfercommands.h"

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTcpSocket>
#include <QTextStream>
#include <QVariantMap>

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

// The progress bar, drawn on standard error while it is a terminal.
class ProgressBar
{
public:
    ProgressBar(const QString &label, qint64 total, bool enabled)
        : m_label(label), m_total(total), m_enabled(enabled)
    {
    }
    void show(qint64 done)
    {
        if (!m_enabled)
            return;
        const double part = m_total > 0 ? std::min(1.0, double(done) / double(m_total)) : 1.0;
        const int filled = int(part * kBarWidth);
        const QString line = QStringLiteral("\r%1 [%2%3] %4% %5/%6 KB")
                                 .arg(m_label)
                                 .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
                                 .arg(int(part * 100), 3)
                                 .arg(std::min(done, m_total) / 1024)
                                 .arg(m_total / 1024);
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
    QString m_label;
    qint64 m_total;
    bool m_enabled;
    bool m_drawn = false;
};

struct Transfer
{
    QByteArray content;
    QString type; // "01" picture, "03" video
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
    ProgressBar bar(t.address(), f.content.size(), !c.globals().json && ::isatty(STDERR_FILENO));
    ctx.notices().subscribe(&listener, QLatin1String(SendSocket::kFilesLengthNotice), [&](const QVariant &v) {
        reported += v.toMap().value(QStringLiteral("partialLength")).toLongLong();
        bar.show(reported);
    });
    ctx.notices().subscribe(&listener, QLatin1String(SendSocket::kFilesDoneNotice), [&](const QVariant &) {
        done = true;
        bar.show(f.content.size());
    });
    const auto broken = [&stream] {
        QTcpSocket *s = stream.sendSocket();
        return s && s->state() == QAbstractSocket::UnconnectedState && s->error() != QAbstractSocket::UnknownSocketError;
    };
    const QVariantMap entry{{QStringLiteral("filesType"), f.type}, {QStringLiteral("filesName"), f.name}};

    stream.disconnectTosocket();
    QVmethodLib::sendFilesInfo(f.content, f.type, f.name, t.window);
    c.session().wait(kContentDelayMs, broken);
    if (!broken()) {
        stream.sendData(f.content, 0);
        // A stream that stops moving for the time-out is given up.
        qint64 seen = -1;
        while (!done && !broken() && reported != seen) {
            seen = reported;
            c.session().wait(c.globals().timeoutMs, [&] { return done || broken() || reported != seen; });
        }
    }
    bar.end();
    if (!done) {
        const QString why = broken() ? stream.sendSocket()->errorString()
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
    t.field(QStringLiteral("bytes"), QString::number(f.content.size()), double(f.content.size()));
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return c.usage(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    f.content = file.readAll();
    if (f.content.isEmpty())
        return c.usage(QStringLiteral("%1 is empty").arg(path));
    f.play = c.isSet(QStringLiteral("play"));

    if (!c.connect())
        return c.status();
    // One transfer at a time, as in the app: servers of --all in turn.
    for (CliTarget &t : c.targets())
        if (!t.failed())
            sendTo(c, t, f);
    return c.finish();
}

QList<CliCommand> commands()
{
    return {cliCommand("send", "FILE [--play]", "Send a picture or video to the play list of --window.", true, send,
                       "Writes the file over the server's file stream (a progress bar on a terminal), then adds it to\n"
                       "the window's play list; --play also shows it at once. The stream has no acknowledgement: the\n"
                       "file counts as sent when its last byte was handed to the network. A stream that makes no\n"
                       "progress for --timeout is given up and the server told to drop it. With --all the servers\n"
                       "get the file one after another.",
                       {cliOption("play", "", "Show the file at once."),
                        cliOption("type", "picture|video", "The kind of file (default: from its suffix)."),
                        cliOption("name", "NAME", "The name on the server (default: the file's own name).")})};
}

const CliCommandRegistrar registrar(60, commands);

} // namespace
