// Discovery under load, each figure against a baseline measured in the same
// run doing the same work, as the median of kRuns runs with min and max.
//
//   store   distinct announcements per second that the client core records
//           (router, discovery screen, the real dataBase.db and preferences,
//           the login frame) against plain SQLite inserting the same rows,
//           one statement each with the store's journal settings;
//   qevactl the time `qevactl -t 3` takes to give up on a silent server while
//           kFloodRate datagrams a second arrive for kFloodSeconds from other
//           servers, each from an address of its own (distinct announcements,
//           or replies nobody asked for), against the same
//           command on a quiet network; with its CPU time and peak resident
//           memory in both cases.
//
// Everything stays on loopback. Run from a Release build:
//   build-bench/bench/bench_discovery [announcements [store|qevactl]]
#include "core/appcontext.h"
#include "net/replyrouter.h"
#include "net/requestsender.h"
#include "net/udpsocketcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "ui/uikit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sqlite3.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kRuns = 5;
constexpr int kFloodRate = 2000; // announcements per second
constexpr int kTimeoutSeconds = 3;
constexpr int kFloodSeconds = 4;   // the flood outlasts the tool's time-out
constexpr int kGiveUpSeconds = 120; // a tool still running then is stopped

// A server-information reply (5001) of server n: its own id and name, the
// password 468, one window, the address 127.0.0.2.
QByteArray announcement(int n)
{
    const QByteArray name = QByteArray("server-") + QByteArray::number(n);
    QByteArray hex = "414e44025001" + QByteArray::number(0x10000000 + n, 16).rightJustified(8, '0');
    hex += QByteArray::number(name.size(), 16).rightJustified(4, '0') + name.toHex();
    hex += "0003" + QByteArray("468").toHex() + "01" + "01000000" + "7f000002" + "01";
    return QByteArray::fromHex(hex);
}

struct Stats
{
    double median, min, max;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

void print(const char *what, const char *unit, const std::vector<double> &values)
{
    const Stats s = stats(values);
    std::printf("  %-30s median %10.4g  min %10.4g  max %10.4g  %s\n", what, s.median, s.min, s.max, unit);
}

// --- the store ---------------------------------------------------------------

// Plain SQLite: the rows the store holds, one INSERT each, WAL and NORMAL sync.
double plainInsertsPerSecond(int count)
{
    QTemporaryDir dir;
    sqlite3 *db = nullptr;
    sqlite3_open(QDir(dir.path()).filePath(QStringLiteral("plain.db")).toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE UserInfo (_id INTEGER PRIMARY KEY AUTOINCREMENT, UserName TEXT, deviceName TEXT, "
                 "devicePassword TEXT, deviceWindowHex TEXT,deviceWindowNum TEXT,deviceIp TEXT,userId TEXT,"
                 "deviceInfo1 TEXT,deviceInfo2 TEXT, deviceInfo3 TEXT)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO UserInfo (UserName, deviceName, devicePassword,deviceWindowHex, deviceWindowNum, "
                       "deviceIp, userId,deviceInfo1,deviceInfo2,deviceInfo3) VALUES (?,?,?,?,?,?,?,?,?,?)",
                       -1, &insert, nullptr);
    QElapsedTimer t;
    t.start();
    for (int n = 0; n < count; ++n) {
        const std::string name = "server-" + std::to_string(n);
        const std::string id = QByteArray::number(0x10000000 + n, 16).toStdString();
        const char *values[] = {"Default", name.c_str(), "468", "01", "1", "127.0.0.2", id.c_str(), "0",
                                "010000007f00000201", "0"};
        for (int i = 0; i < 10; ++i)
            sqlite3_bind_text(insert, i + 1, values[i], -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    const double seconds = t.nsecsElapsed() / 1e9;
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return count / seconds;
}

// The client core: every announcement through the router to the discovery
// screen, as the endpoint hands it over; the event loop turns between
// batches, as it would between datagrams. The context's end (the last
// preferences write) is part of the time.
double clientRecordsPerSecond(int count, int *stored)
{
    std::vector<QByteArray> datagrams;
    for (int n = 0; n < count; ++n)
        datagrams.push_back(announcement(n));
    QTemporaryDir dir;
    QElapsedTimer t;
    {
        ContextConfig c;
        c.documentsDir = dir.path();
        c.phoneAddress = QStringLiteral("127.0.0.1");
        AppContext ctx(c);
        RequestSender::shared().setSender(&UdpSocketController::shareInstance()); // as the app does
        auto *scan = new ScanDeviceViewController;
        scan->setUserName(QStringLiteral("bench"));
        UiKit::shared().navigation().push(scan);
        t.start();
        for (int n = 0; n < count; ++n) {
            ReplyRouter::shared().route(datagrams[size_t(n)], QStringLiteral("127.0.0.2"));
            if (n % 64 == 63)
                QCoreApplication::processEvents();
        }
        *stored = scan->deviceCount();
    }
    return count / (t.nsecsElapsed() / 1e9);
}

// --- qevactl under a flood -----------------------------------------------------

// A reply of server n that no command waits for: a volume reply (5503).
QByteArray strayReply(int n)
{
    return QByteArray::fromHex("414e440255030f") + char(n % 16);
}

enum class FloodKind { None, Announcements, Replies };

class Flood
{
public:
    Flood(quint16 port, FloodKind kind, int rate)
    {
        if (kind == FloodKind::None)
            return;
        m_thread = std::thread([this, port, kind, rate] {
            sockaddr_in to = {};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(0x7f000001u);
            const int perTick = rate / 100;
            auto due = std::chrono::steady_clock::now();
            const int total = rate * kFloodSeconds;
            for (int n = 0; !m_stop && n < total; ++n) {
                if (n % perTick == 0) {
                    std::this_thread::sleep_until(due);
                    due += std::chrono::milliseconds(10);
                }
                // Every server from an address of its own, as on a network:
                // 127.1.0.0 and up.
                const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
                sockaddr_in from = {};
                from.sin_family = AF_INET;
                from.sin_addr.s_addr = htonl(0x7f010000u + quint32(n));
                ::bind(fd, reinterpret_cast<sockaddr *>(&from), sizeof from);
                const QByteArray d = kind == FloodKind::Announcements ? announcement(n) : strayReply(n);
                ::sendto(fd, d.constData(), size_t(d.size()), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
                ::close(fd);
            }
        });
    }
    ~Flood()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

struct Run
{
    double seconds;
    double cpuSeconds;
    double peakMiB;
    int status;
};

// One `qevactl -t 3` against an address nobody answers from, with or
// without the flood; its time and peak memory come from the kernel.
Run qevactl(FloodKind kind, int floodRate)
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    const QString port = QString::number(probe.localPort());
    probe.close();
    Flood flood(quint16(port.toUInt()), kind, floodRate);
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the flood is running when the tool starts

    const std::vector<std::string> args = {QEVA_CTL_BIN, "--bind", "127.0.0.1", "--port", port.toStdString(),
                                           "-s", "127.0.0.9", "-t", std::to_string(kTimeoutSeconds), "volume"};
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run r{0, 0, 0, -1};
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage = {};
        const auto giveUp = start + std::chrono::seconds(kGiveUpSeconds);
        while (wait4(pid, &status, WNOHANG, &usage) == 0) {
            if (std::chrono::steady_clock::now() > giveUp) {
                ::kill(pid, SIGKILL);
                wait4(pid, &status, 0, &usage);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.peakMiB = usage.ru_maxrss / 1024.0;
        r.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                       + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&files);
    return r;
}

void storeFigures(int count)
{
    std::printf("discovery: %d distinct announcements, %d runs each\n", count, kRuns);
    std::vector<double> plain, client, ratio;
    for (int i = 0; i < kRuns; ++i) {
        int stored = 0;
        plain.push_back(plainInsertsPerSecond(count));
        client.push_back(clientRecordsPerSecond(count, &stored));
        ratio.push_back(client.back() / plain.back());
        if (stored != count)
            std::printf("  run %d: %d of %d servers listed\n", i + 1, stored, count);
    }
    print("plain SQLite inserts", "rows/s", plain);
    print("client core records", "announcements/s", client);
    print("client / plain", "", ratio);
}

void qevactlFigures()
{
    const struct {
        FloodKind kind;
        const char *what;
    } floods[] = {
        {FloodKind::Announcements, "distinct announcements"},
        {FloodKind::Replies, "replies nobody asked for"},
    };
    for (const auto &flood : floods) {
        std::printf("qevactl -t %d on a silent server, flood of %d %s a second\n", kTimeoutSeconds, kFloodRate,
                    flood.what);
        std::vector<double> quiet, flooded, slower, quietCpu, floodCpu, quietMem, floodMem;
        for (int i = 0; i < kRuns; ++i) {
            const Run q = qevactl(FloodKind::None, 0);
            const Run f = qevactl(flood.kind, kFloodRate);
            quiet.push_back(q.seconds);
            flooded.push_back(f.seconds);
            slower.push_back(f.seconds / q.seconds);
            quietCpu.push_back(q.cpuSeconds);
            floodCpu.push_back(f.cpuSeconds);
            quietMem.push_back(q.peakMiB);
            floodMem.push_back(f.peakMiB);
            if (q.status != 1 || f.status != 1)
                std::printf("  run %d: exit status %d quiet, %d flooded (1 expected; -1: stopped after %d s)\n",
                            i + 1, q.status, f.status, kGiveUpSeconds);
        }
        print("time, quiet network", "s", quiet);
        print("time, under the flood", "s", flooded);
        print("time, flooded / quiet", "", slower);
        print("CPU, quiet network", "s", quietCpu);
        print("CPU, under the flood", "s", floodCpu);
        print("peak memory, quiet network", "MiB", quietMem);
        print("peak memory, under the flood", "MiB", floodMem);
    }
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qputenv("QT_LOGGING_RULES", "qeva.*=false");
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000;
    const std::string part = argc > 2 ? argv[2] : "all";
    if (part == "all" || part == "store")
        storeFigures(count);
    if (part == "all" || part == "qevactl")
        qevactlFigures();
    return 0;
}
