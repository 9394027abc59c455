// How fast and with how much memory a file reaches the simulator, each way
// the client sends one, side by side with a plain sender of the same file
// to the same simulator in the same run.
//
//   plain     bench_plain_sender, a process: blocking 1 MiB read() + write()
//   qevactl   `qevactl send`, a process, as a user runs it
//   screen    the sending screen in this process: picked, announced, sent,
//             row marked, added to the play list (the app's real clock)
//   sendfile / mapped / buffered
//             the file stream alone in this process, once per way it can
//             take a file's content to the socket
//
// Every transfer goes to one qeva-sim process whose media folder is on
// tmpfs, so the receiving side (its reads, its QSaveFile::commit with the
// sync that brings) costs the same for all of them. The content phase runs
// from the first content write to the simulator's "received" log line, seen
// the moment it is written (inotify). Runs are interleaved, so that a busy
// machine weighs on every case alike; figures are the median of the runs
// with min and max. Source files are sparse.
//
//   bench_transfer [--sizes 64M,256M,1G,4G] [--runs 5] [--dir /dev/shm]
//                  [--cases plain,qevactl,screen,sendfile,mapped,buffered]
#include "core/appcontext.h"
#include "net/filescontent.h"
#include "net/qvmethodlib.h"
#include "net/requestsender.h"
#include "net/sendsocket.h"
#include "net/udpsocketcontroller.h"
#include "protocol/transfercommands.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "screens/transfer/transferfinisher.h"
#include "session/commonmanager.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

const char *const kSimAddress = "127.0.0.2";

qint64 nowNs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

// The high-water mark of resident memory starts again from what is resident
// now; false where the system does not allow it.
bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

qint64 peakResidentBytes()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

quint16 freePort(int type, const char *address)
{
    const int s = ::socket(AF_INET, type, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &a.sin_addr);
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

// --- the simulator's log, watched as it is written ---------------------------

class SimLog
{
public:
    explicit SimLog(const QString &path)
    {
        QFile(path).open(QIODevice::WriteOnly | QIODevice::Append);
        m_file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        m_notify = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        ::inotify_add_watch(m_notify, QFile::encodeName(path).constData(), IN_MODIFY);
        m_thread = std::thread([this] { run(); });
    }
    ~SimLog()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_notify);
        ::close(m_file);
    }
    // When "state transfer received NAME" was written; 0 until then.
    qint64 receivedAt(const QString &name)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_received.find(name);
        return it == m_received.end() ? 0 : it->second;
    }
    qint64 waitReceived(const QString &name, int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.count(name) > 0; });
        const auto it = m_received.find(name);
        return it == m_received.end() ? 0 : it->second;
    }
    bool seen(const QString &part)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::any_of(m_all.cbegin(), m_all.cend(), [&](const QString &l) { return l.contains(part); });
    }

private:
    void run()
    {
        QByteArray pending;
        char events[4096];
        char buffer[65536];
        while (!m_stop) {
            pollfd p{m_notify, POLLIN, 0};
            ::poll(&p, 1, 50);
            const qint64 at = nowNs();
            while (::read(m_notify, events, sizeof events) > 0) {
            }
            ssize_t n;
            while ((n = ::read(m_file, buffer, sizeof buffer)) > 0)
                pending.append(buffer, int(n));
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QString line = QString::fromUtf8(pending.left(end));
                pending.remove(0, end + 1);
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_all.size() < 100000)
                    m_all.append(line);
                static const QString received = QStringLiteral("state transfer received ");
                if (line.startsWith(received)) {
                    const QString rest = line.mid(received.size());
                    m_received[rest.left(rest.indexOf(QLatin1String(" (")))] = at;
                    m_changed.notify_all();
                }
            }
        }
    }

    int m_file = -1;
    int m_notify = -1;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<QString, qint64> m_received;
    QStringList m_all;
    std::thread m_thread;
};

// --- processes ------------------------------------------------------------------

// Texts as the NULL-ended array of C strings that exec takes.
class CStrings
{
public:
    explicit CStrings(const QList<QByteArray> &texts)
        : m_texts(texts)
    {
        for (QByteArray &t : m_texts)
            m_pointers.push_back(t.data());
        m_pointers.push_back(nullptr);
    }
    char **data() { return m_pointers.data(); }

private:
    QList<QByteArray> m_texts;
    std::vector<char *> m_pointers;
};

CStrings localStrings(const QStringList &texts)
{
    QList<QByteArray> bytes;
    for (const QString &t : texts)
        bytes.append(t.toLocal8Bit());
    return CStrings(bytes);
}

struct Finished
{
    int status = -1;
    qint64 wallNs = 0;
    qint64 peakKiB = 0;
    QString out;
    qint64 lineAt = 0; // when the first standard error line holding the mark came
};

// Runs a program to its end, with its whole-process wall time and peak
// resident memory; standard error is read as it comes, and the time the
// first line holding errMark arrived is noted. The small launcher starts it,
// so that the peak is the program's own and not this process's.
Finished runProcess(QStringList args, const QStringList &env, const QString &errMark = QString())
{
    args.prepend(QStringLiteral("--launch"));
    args.prepend(QStringLiteral(QEVA_PLAIN_SENDER_BIN));
    Finished f;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return f;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    CStrings argv = localStrings(args);
    QList<QByteArray> environment;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray key = entry.left(entry.indexOf('=') + 1);
        // What env sets replaces what this process has.
        if (std::none_of(env.cbegin(), env.cend(), [&](const QString &v) { return v.toLocal8Bit().startsWith(key); }))
            environment.append(entry);
    }
    for (const QString &e : env)
        environment.append(e.toLocal8Bit());
    CStrings envp(environment);

    const qint64 start = nowNs();
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, argv.data()[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(out[0]);
        ::close(err[0]);
        return f;
    }
    QByteArray outText;
    QByteArray errText;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (::poll(fds, 2, 1000) <= 0)
            continue;
        for (pollfd &p : fds) {
            if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
            if (n <= 0) {
                ::close(p.fd);
                p.fd = -1;
                --open;
                continue;
            }
            if (p.fd == out[0]) {
                outText.append(buffer, int(n));
            } else {
                errText.append(buffer, int(n));
                if (!f.lineAt && !errMark.isEmpty() && errText.contains(errMark.toUtf8()))
                    f.lineAt = nowNs();
            }
        }
    }
    rusage usage{};
    int status = 0;
    ::wait4(pid, &status, 0, &usage);
    f.wallNs = nowNs() - start;
    f.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    Q_UNUSED(usage)
    const qsizetype mark = errText.lastIndexOf("launch-maxrss=");
    f.peakKiB = mark < 0 ? 0 : errText.mid(mark + 14).trimmed().toLongLong();
    f.out = QString::fromUtf8(outText);
    if (f.status != 0)
        std::fprintf(stderr, "%s failed (%d): %s\n", qPrintable(args.at(2)), f.status, errText.constData());
    return f;
}

// --- figures ----------------------------------------------------------------------

struct Series
{
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    bool empty() const { return values.empty(); }
    double median() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    QString text(int decimals = 2) const
    {
        if (values.empty())
            return QStringLiteral("-");
        return QStringLiteral("%1 [%2..%3]")
            .arg(median(), 0, 'f', decimals)
            .arg(min(), 0, 'f', decimals)
            .arg(max(), 0, 'f', decimals);
    }
};

struct Figures
{
    Series contentSeconds;
    Series ratio;      // plain's content time over this one's, run by run
    Series wallSeconds;
    Series peakMiB;    // whole process (qevactl, plain) or above idle (in this process)
    Series pickToMarkedSeconds;
    Series stallMs;
    Series pickMs;
    Series finishMs;
};

// --- the world --------------------------------------------------------------------

struct Options
{
    std::vector<qint64> sizes{qint64(64) << 20, qint64(256) << 20, qint64(1) << 30, qint64(4) << 30};
    int runs = 5;
    QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QStringList cases{QStringLiteral("plain"),    QStringLiteral("qevactl"), QStringLiteral("screen"),
                      QStringLiteral("sendfile"), QStringLiteral("mapped"),  QStringLiteral("buffered")};
};

QString sizeName(qint64 size)
{
    return size >= (qint64(1) << 30) ? QStringLiteral("%1 GiB").arg(size >> 30) : QStringLiteral("%1 MiB").arg(size >> 20);
}

class Bench
{
public:
    Bench(const Options &o)
        : m_options(o)
    {
        m_work = QDir(o.dir).filePath(QStringLiteral("qeva-bench-%1").arg(::getpid()));
        QDir().mkpath(m_work + QStringLiteral("/media"));
        QDir().mkpath(m_work + QStringLiteral("/docs"));
        m_phonePort = freePort(SOCK_DGRAM, "127.0.0.1");
        m_udpPort = freePort(SOCK_DGRAM, kSimAddress);
        m_timePort = freePort(SOCK_DGRAM, kSimAddress);
        m_tcpPort = freePort(SOCK_STREAM, kSimAddress);
        m_log = std::make_unique<SimLog>(m_work + QStringLiteral("/sim.log"));
    }
    ~Bench()
    {
        if (m_sim > 0) {
            ::kill(m_sim, SIGTERM);
            ::waitpid(m_sim, nullptr, 0);
        }
        m_ctx.reset();
        m_log.reset();
        QDir(m_work).removeRecursively();
    }

    bool startSim()
    {
        const QStringList args{QStringLiteral(QEVA_SIM_BIN),
                               QStringLiteral("--bind"), QLatin1String(kSimAddress),
                               QStringLiteral("--announce-to"), QStringLiteral("127.0.0.1:%1").arg(m_phonePort),
                               QStringLiteral("--reply-port"), QString::number(m_phonePort),
                               QStringLiteral("--udp-port"), QString::number(m_udpPort),
                               QStringLiteral("--time-port"), QString::number(m_timePort),
                               QStringLiteral("--tcp-port"), QString::number(m_tcpPort),
                               QStringLiteral("--interval-ms"), QStringLiteral("3600000"),
                               QStringLiteral("--media-dir"), m_work + QStringLiteral("/media"),
                               QStringLiteral("--log"), m_work + QStringLiteral("/sim.log")};
        CStrings argv = localStrings(args);
        if (::posix_spawn(&m_sim, argv.data()[0], nullptr, nullptr, argv.data(), environ) != 0)
            return false;
        for (int i = 0; i < 200 && !m_log->seen(QStringLiteral("state transfer media folder ")); ++i)
            ::usleep(50000);
        return m_log->seen(QStringLiteral("state transfer media folder "));
    }

    void run()
    {
        makeContext();
        for (qint64 size : m_options.sizes) {
            const QString source = m_work + QStringLiteral("/source-%1.mov").arg(size);
            QFile f(source);
            f.open(QIODevice::WriteOnly);
            f.resize(size);
            f.close();
            std::map<QString, Figures> figures;
            for (int run = 0; run < m_options.runs; ++run) {
                double plain = 0;
                for (const QString &c : m_options.cases) {
                    const QString name = QStringLiteral("%1-%2-%3.mov").arg(c).arg(size >> 20).arg(run);
                    Figures &fig = figures[c];
                    const std::optional<double> content = runCase(c, source, size, name, fig);
                    QFile::remove(m_work + QStringLiteral("/media/") + name);
                    if (!content) {
                        std::fprintf(stderr, "%s: %s of %s failed\n", qPrintable(c), qPrintable(name), qPrintable(sizeName(size)));
                        continue;
                    }
                    fig.contentSeconds.add(*content);
                    if (c == QLatin1String("plain"))
                        plain = *content;
                    else if (plain > 0)
                        fig.ratio.add(plain / *content);
                }
                std::fprintf(stderr, "%s run %d done\n", qPrintable(sizeName(size)), run + 1);
            }
            QFile::remove(source);
            report(size, figures);
        }
        if (m_options.cases.contains(QStringLiteral("qevactl")))
            reportIdle();
    }

private:
    void makeContext()
    {
        ContextConfig c;
        c.bindAddress = QHostAddress(QStringLiteral("127.0.0.1"));
        c.localPort = freePort(SOCK_DGRAM, "127.0.0.1");
        c.phoneAddress = QStringLiteral("127.0.0.1");
        c.multicastInterface = QStringLiteral("lo");
        c.serverPort = m_udpPort;
        c.serverTimePort = m_timePort;
        c.serverFilePort = m_tcpPort;
        c.documentsDir = m_work + QStringLiteral("/docs");
        c.preferencesFile = m_work + QStringLiteral("/docs/preferences.ini");
        m_ctx = std::make_unique<AppContext>(c);
        // As the app does: requests go out through the UDP endpoint.
        RequestSender::shared().setSender(&UdpSocketController::shareInstance());
        CommonManager &cm = CommonManager::sharedManager();
        cm.setCurrentPhoneIp(QStringLiteral("127.0.0.1"));
        cm.currentSelectDev.deviceIp = QLatin1String(kSimAddress);
        cm.currentSelectDev.userId = QStringLiteral("00000001");
        cm.currentWindowID = QStringLiteral("01");
    }

    QStringList qevactlArgs(const QString &path, const QString &name) const
    {
        return {QStringLiteral(QEVA_CTL_BIN),
                QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                QStringLiteral("--port"), QString::number(freePort(SOCK_DGRAM, "127.0.0.1")),
                QStringLiteral("--server-port"), QString::number(m_udpPort),
                QStringLiteral("--time-port"), QString::number(m_timePort),
                QStringLiteral("--file-port"), QString::number(m_tcpPort),
                QStringLiteral("--timeout"), QStringLiteral("30"),
                QStringLiteral("-s"), QLatin1String(kSimAddress),
                QStringLiteral("send"), path, QStringLiteral("--name"), name, QStringLiteral("--type"), QStringLiteral("video")};
    }

    std::optional<double> runCase(const QString &c, const QString &source, qint64 size, const QString &name, Figures &fig)
    {
        if (c == QLatin1String("plain")) {
            const Finished f = runProcess({QStringLiteral(QEVA_PLAIN_SENDER_BIN), QLatin1String(kSimAddress),
                                           QString::number(m_tcpPort), source, name},
                                          {});
            const qint64 began = f.out.trimmed().toLongLong();
            const qint64 received = m_log->waitReceived(name, 600000);
            if (f.status != 0 || !began || !received)
                return std::nullopt;
            fig.wallSeconds.add(double(f.wallNs) / 1e9);
            fig.peakMiB.add(double(f.peakKiB) / 1024);
            return double(received - began) / 1e9;
        }
        if (c == QLatin1String("qevactl")) {
            const Finished f = runProcess(qevactlArgs(source, name),
                                          {QStringLiteral("QT_LOGGING_RULES=qeva.*=false;qeva.net.info=true")},
                                          QStringLiteral("content of %1 bytes queued").arg(size));
            const qint64 received = m_log->waitReceived(name, 600000);
            if (f.status != 0 || !f.lineAt || !received) {
                std::fprintf(stderr, "qevactl: status %d, content line %s, received %s\n", f.status,
                             f.lineAt ? "seen" : "not seen", received ? "yes" : "no");
                return std::nullopt;
            }
            fig.wallSeconds.add(double(f.wallNs) / 1e9);
            fig.peakMiB.add(double(f.peakKiB) / 1024);
            return double(received - f.lineAt) / 1e9;
        }
        if (c == QLatin1String("screen"))
            return runScreen(source, fig);
        return runStream(c, source, size, name, fig);
    }

    // Runs the event loop until done() holds, noting how late a 1 ms timer
    // fires (the longest stall of the loop) and the peak resident memory:
    // from the system's high-water mark where it can be reset, else sampled
    // every 10 ms.
    bool spin(const std::function<bool()> &done, double *stallMs, qint64 *peakResident, int timeoutMs = 600000)
    {
        const bool marked = peakResident && resetPeak();
        int tick = 0;
        QEventLoop loop;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        qint64 last = nowNs();
        qint64 worst = 0;
        QObject::connect(&probe, &QTimer::timeout, &loop, [&] {
            const qint64 now = nowNs();
            worst = std::max(worst, now - last);
            last = now;
            if (peakResident && !marked && ++tick % 10 == 0)
                *peakResident = std::max(*peakResident, residentBytes());
            if (done())
                loop.quit();
        });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        probe.start(1);
        loop.exec();
        if (stallMs)
            *stallMs = std::max(0.0, double(worst) / 1e6 - 1.0);
        if (marked)
            *peakResident = std::max(*peakResident, peakResidentBytes());
        return done();
    }

    std::optional<double> runScreen(const QString &source, Figures &fig)
    {
        // The screen's own work at the end: from the done notice reaching it
        // (hooks on both sides of its subscription) to the row marked and
        // the list rebuilt.
        QObject hooks;
        qint64 doneAt = 0;
        double finishMs = 0;
        m_ctx->notices().subscribe(&hooks, QLatin1String(SendSocket::kFilesDoneNotice),
                                   [&](const QVariant &) { doneAt = nowNs(); });
        KTBaseNavigationController nav(new KTBaseViewController);
        auto *screen = new PlayFilesViewController;
        nav.push(screen);
        QObject after;
        m_ctx->notices().subscribe(&after, QLatin1String(SendSocket::kFilesDoneNotice),
                                   [&](const QVariant &) { finishMs = double(nowNs() - doneAt) / 1e6; });
        qint64 began = 0;
        qint64 marked = 0;
        QObject::connect(screen, &PlayFilesViewController::sendingChanged, screen, [&] {
            if (screen->isRunning())
                began = nowNs();
            else if (!screen->isSending() && began)
                marked = nowNs();
        });
        const qint64 residentBefore = residentBytes();
        qint64 peak = residentBefore;
        QString name;
        qint64 picked = 0;
        double pickMs = 0;
        // Picked from the running event loop, as the file dialog does.
        QTimer::singleShot(0, screen, [&] {
            picked = nowNs();
            screen->didFinishPickingFile(source);
            pickMs = double(nowNs() - picked) / 1e6;
            name = screen->currentFileName();
        });
        double stall = 0;
        // To the row marked, and on until the file is on the play list.
        const bool ok = spin(
            [&] {
                return marked && !name.isEmpty() && m_log->receivedAt(name)
                       && TransferFinisher::shared().pendingCount() == 0;
            },
            &stall, &peak);
        const qint64 received = name.isEmpty() ? 0 : m_log->receivedAt(name);
        if (AlertCenter::shared().hasPending())
            AlertCenter::shared().answer(1);
        QFile::remove(m_work + QStringLiteral("/media/") + name);
        if (!ok || !began || !received)
            return std::nullopt;
        fig.pickToMarkedSeconds.add(double(marked - picked) / 1e9);
        fig.stallMs.add(stall);
        fig.pickMs.add(pickMs);
        fig.finishMs.add(finishMs);
        fig.peakMiB.add(double(peak - residentBefore) / (1 << 20));
        return double(received - began) / 1e9;
    }

    std::optional<double> runStream(const QString &c, const QString &source, qint64 size, const QString &name,
                                    Figures &fig)
    {
        SendSocket &stream = SendSocket::shareMananger();
        stream.setFileMethod(c == QLatin1String("mapped")     ? SendSocket::FileMethod::MappedWrite
                             : c == QLatin1String("buffered") ? SendSocket::FileMethod::ReadWrite
                                                              : SendSocket::FileMethod::SendFile);
        const std::optional<FilesContent> content = FilesContent::fromFile(source);
        if (!content)
            return std::nullopt;
        const qint64 residentBefore = residentBytes();
        qint64 peak = residentBefore;
        stream.disconnectTosocket();
        QVmethodLib::sendFilesInfo(size, QStringLiteral("03"), name, QStringLiteral("01"));
        // Connected and announced, as the other cases are when their content begins.
        spin([&] { return stream.queuedBlockCount() == 0; }, nullptr, nullptr, 10000);
        const qint64 began = nowNs();
        stream.sendData(*content, 0);
        const bool ok = spin([&] { return m_log->receivedAt(name) != 0; }, nullptr, &peak);
        const qint64 received = m_log->receivedAt(name);
        stream.disconnectTosocket();
        stream.setFileMethod(SendSocket::FileMethod::SendFile);
        if (!ok)
            return std::nullopt;
        fig.peakMiB.add(double(peak - residentBefore) / (1 << 20));
        return double(received - began) / 1e9;
    }

    void report(qint64 size, const std::map<QString, Figures> &figures)
    {
        const double mib = double(size) / (1 << 20);
        std::printf("\n== %s, %d runs: median [min..max]\n", qPrintable(sizeName(size)), m_options.runs);
        std::printf("%-9s %-26s %-22s %-22s %-24s %s\n", "case", "content phase MiB/s", "vs plain (x)",
                    "whole process s", "peak memory MiB", "screen: pick->marked s, stall ms, pick ms, finish ms");
        for (const QString &c : m_options.cases) {
            const auto it = figures.find(c);
            if (it == figures.end() || it->second.contentSeconds.empty())
                continue;
            const Figures &f = it->second;
            Series rate;
            for (double s : f.contentSeconds.values)
                rate.add(mib / s);
            const bool whole = c == QLatin1String("plain") || c == QLatin1String("qevactl");
            std::printf("%-9s %-26s %-22s %-22s %-24s %s\n", qPrintable(c), qPrintable(rate.text(0)),
                        qPrintable(f.ratio.text(2)), qPrintable(whole ? f.wallSeconds.text(2) : QStringLiteral("-")),
                        qPrintable(f.peakMiB.text(1) + (whole ? QString() : QStringLiteral(" above"))),
                        c == QLatin1String("screen")
                            ? qPrintable(QStringLiteral("%1, %2, %3, %4")
                                             .arg(f.pickToMarkedSeconds.text(2), f.stallMs.text(1), f.pickMs.text(2),
                                                  f.finishMs.text(2)))
                            : "");
        }
        std::fflush(stdout);
    }

    // qevactl's footprint when the file is nothing: the same command with
    // 4 KiB, so that the peaks above can be read as growth over it.
    void reportIdle()
    {
        const QString source = m_work + QStringLiteral("/source-idle.mov");
        QFile f(source);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(4096, 'x'));
        f.close();
        Series peak;
        for (int run = 0; run < m_options.runs; ++run) {
            const QString name = QStringLiteral("idle-%1.mov").arg(run);
            const Finished r = runProcess(qevactlArgs(source, name), {});
            if (r.status == 0)
                peak.add(double(r.peakKiB) / 1024);
            m_log->waitReceived(name, 10000);
            QFile::remove(m_work + QStringLiteral("/media/") + name);
        }
        std::printf("\nqevactl idle footprint (sending 4 KiB), peak memory MiB: %s\n", qPrintable(peak.text(1)));
    }

    Options m_options;
    QString m_work;
    quint16 m_phonePort = 0, m_udpPort = 0, m_timePort = 0, m_tcpPort = 0;
    pid_t m_sim = -1;
    std::unique_ptr<SimLog> m_log;
    std::unique_ptr<AppContext> m_ctx;
};

std::optional<Options> parse(const QStringList &args)
{
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const QString value = args.value(i + 1);
        if (a == QLatin1String("--sizes")) {
            o.sizes.clear();
            for (const QString &s : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QChar unit = s.back().toUpper();
                const int shift = unit == QLatin1Char('G') ? 30 : unit == QLatin1Char('M') ? 20 : unit == QLatin1Char('K') ? 10 : 0;
                o.sizes.push_back(qint64((shift ? s.chopped(1) : s).toDouble() * double(qint64(1) << shift)));
            }
        } else if (a == QLatin1String("--runs")) {
            o.runs = std::max(1, value.toInt());
        } else if (a == QLatin1String("--dir")) {
            o.dir = value;
        } else if (a == QLatin1String("--cases")) {
            o.cases = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else {
            return std::nullopt;
        }
        ++i;
    }
    // The plain sender first in every run: the others' ratios pair with it.
    o.cases.removeAll(QStringLiteral("plain"));
    o.cases.prepend(QStringLiteral("plain"));
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "qeva.*=false");
    QCoreApplication app(argc, argv);
    const std::optional<Options> options = parse(app.arguments());
    if (!options) {
        std::fprintf(stderr, "usage: bench_transfer [--sizes 64M,256M,1G,4G] [--runs 5] [--dir /dev/shm] "
                             "[--cases plain,qevactl,screen,sendfile,mapped,buffered]\n");
        return 2;
    }
    Bench bench(*options);
    if (!bench.startSim()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    bench.run();
    return 0;
}
