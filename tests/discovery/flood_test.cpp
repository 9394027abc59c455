// A flood of distinct announcements on loopback, through the real endpoint
// and the real store: the client keeps answering the user throughout (no tap
// waits behind more than kAnswerWithinMs of the client's own work, whatever
// else the machine is doing), and stores every server exactly once.
#include "announcement.h"
#include "net/udpsocketcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "store/fmmanager.h"
#include "store/sqlitedatabase.h"
#include "support/testcontext.h"
#include "ui/uikit.h"

#include <QSet>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <netinet/in.h>
#include <pthread.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRate = 2000;       // announcements per second
constexpr int kSeconds = 5;
constexpr int kServers = kRate * kSeconds;
constexpr int kSenders = 10;      // source addresses 127.0.0.2 and up
constexpr int kProbeEveryMs = 50;
constexpr qint64 kAnswerWithinMs = 200;

// Sends each datagram of its list once, from kSenders addresses, at kRate a
// second, in its own thread so that the client's event loop is the only
// thing the test's main thread runs.
class Flood
{
public:
    Flood(std::vector<std::string> datagrams, quint16 port)
        : m_datagrams(std::move(datagrams))
        , m_port(port)
    {
    }
    ~Flood()
    {
        if (m_thread.joinable())
            m_thread.join();
        for (int fd : m_sockets)
            ::close(fd);
    }
    bool open()
    {
        for (int i = 0; i < kSenders; ++i) {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            if (fd < 0)
                return false;
            m_sockets.push_back(fd);
            sockaddr_in from = {};
            from.sin_family = AF_INET;
            from.sin_addr.s_addr = htonl(0x7f000002u + quint32(i));
            if (::bind(fd, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0)
                return false;
        }
        return true;
    }
    void start()
    {
        m_thread = std::thread([this] { run(); });
    }
    bool done() const { return m_done; }
    int failedSends() const { return m_failed; }

private:
    void run()
    {
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_port);
        to.sin_addr.s_addr = htonl(0x7f000001u);
        constexpr int kTickMs = 10;
        constexpr int kPerTick = kRate * kTickMs / 1000;
        auto due = std::chrono::steady_clock::now();
        for (size_t i = 0; i < m_datagrams.size(); ++i) {
            if (i % kPerTick == 0) {
                std::this_thread::sleep_until(due);
                due += std::chrono::milliseconds(kTickMs);
            }
            const std::string &d = m_datagrams[i];
            if (::sendto(m_sockets[i % m_sockets.size()], d.data(), d.size(), 0, reinterpret_cast<sockaddr *>(&to),
                         sizeof to) < 0)
                ++m_failed;
        }
        m_done = true;
    }

    std::vector<std::string> m_datagrams;
    quint16 m_port;
    std::vector<int> m_sockets;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    std::atomic<int> m_failed{0};
};

class FloodTest : public ContextTest
{
protected:
    std::vector<std::string> announcements() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < kServers; ++i) {
            Announcement a;
            a.userId = QStringLiteral("%1").arg(0x10000000 + i, 8, 16, QLatin1Char('0'));
            a.name = QByteArray("server-") + QByteArray::number(i);
            a.windows = {QStringLiteral("01000000")};
            const QByteArray bytes = a.bytes();
            out.emplace_back(bytes.constData(), size_t(bytes.size()));
        }
        return out;
    }
};

TEST_F(FloodTest, TheUserIsAnsweredThroughoutAndEveryServerIsStoredOnce)
{
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(udp.startUdpServer());
    auto *scan = new ScanDeviceViewController;
    UiKit::shared().navigation().push(scan);

    const std::vector<std::string> datagrams = announcements();
    Flood flood(datagrams, ctx().config().localPort);
    ASSERT_TRUE(flood.open());

    // The scripted user taps the scan button on a grid of kProbeEveryMs; a
    // tap is answered when the event loop gets to it. How late that is on
    // the wall clock also depends on how busy the machine is; how much work
    // the client did between the tap and its answer does not. A watcher
    // thread notes the client thread's CPU time at each tap's due time.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point t0 = Clock::now();
    const auto dueOf = [&](int k) { return t0 + std::chrono::milliseconds(kProbeEveryMs * (k + 1)); };
    constexpr int kGrid = 1000; // taps in 50 s at most
    std::vector<std::atomic<qint64>> cpuAtDue(kGrid);
    clockid_t mainCpu;
    ASSERT_EQ(pthread_getcpuclockid(pthread_self(), &mainCpu), 0);
    const auto cpuMicros = [](clockid_t id) {
        timespec t;
        clock_gettime(id, &t);
        return qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000; // microseconds
    };
    std::atomic<bool> stop{false};
    std::thread watcher([&] {
        for (int k = 0; k < kGrid && !stop; ++k) {
            std::this_thread::sleep_until(dueOf(k));
            cpuAtDue[size_t(k)] = cpuMicros(mainCpu);
        }
    });

    QList<qint64> lateMs, workMs;
    bool scanning = scan->isScanning();
    int next = 0;
    std::function<void()> tap = [&] {
        const int k = next;
        lateMs << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - dueOf(k)).count();
        scan->scanButtonAction();
        EXPECT_NE(scan->isScanning(), scanning);
        scanning = scan->isScanning();
        const qint64 atDue = cpuAtDue[size_t(k)];
        if (atDue > 0)
            workMs << (cpuMicros(mainCpu) - atDue) / 1000;
        if (stop)
            return;
        // The next slot of the grid that is still ahead.
        next = k + 1;
        while (next + 1 < kGrid && dueOf(next) <= Clock::now())
            ++next;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(dueOf(next) - Clock::now()).count();
        QTimer::singleShot(int(std::max<qint64>(0, wait)), Qt::PreciseTimer, scan, tap);
    };
    QTimer::singleShot(kProbeEveryMs, Qt::PreciseTimer, scan, tap);
    flood.start();
    ASSERT_TRUE(waitUntil([&] { return flood.done(); }, (kSeconds + 60) * 1000));
    const qint64 floodMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
    EXPECT_EQ(flood.failedSends(), 0);
    waitUntil([&] { return scan->deviceCount() == kServers; }, 30000);
    const int caughtInFlood = scan->deviceCount();

    // Servers announce again and again; a datagram the system dropped under
    // load comes again. Every one of them stays stored once.
    Flood again(datagrams, ctx().config().localPort);
    ASSERT_TRUE(again.open());
    again.start();
    ASSERT_TRUE(waitUntil([&] { return again.done(); }, (kSeconds + 60) * 1000));
    EXPECT_TRUE(waitUntil([&] { return scan->deviceCount() == kServers; }, 30000)) << scan->deviceCount();
    stop = true;
    spinFor(kProbeEveryMs * 2);
    watcher.join();

    ASSERT_GE(workMs.size(), kSeconds * 1000 / kProbeEveryMs / 2);
    std::sort(lateMs.begin(), lateMs.end());
    std::sort(workMs.begin(), workMs.end());
    const auto at = [](const QList<qint64> &v, int percent) { return v.at(std::min<qsizetype>(v.size() - 1, v.size() * percent / 100)); };
    std::printf("[ flood    ] %d announcements in %lld ms, %d listed before they came again; %lld taps answered "
                "late by median %lld ms, p95 %lld ms, worst %lld ms; the client's work before an answer: median %lld "
                "ms, p95 %lld ms, worst %lld ms\n",
                kServers, floodMs, caughtInFlood, qint64(lateMs.size()), at(lateMs, 50), at(lateMs, 95), lateMs.last(),
                at(workMs, 50), at(workMs, 95), workMs.last());
    EXPECT_LT(workMs.last(), kAnswerWithinMs) << "the client worked " << workMs.last() << " ms before answering a tap";
    EXPECT_LT(at(lateMs, 50), kAnswerWithinMs) << "half the taps waited longer than " << kAnswerWithinMs << " ms";

    // The table: every server once, none twice.
    SqliteDatabase raw(FMManager::sharedManagerInstance().db()->path());
    ASSERT_TRUE(raw.open());
    QSet<QString> ids;
    int rows = 0;
    std::optional<SqliteRows> r = raw.executeQuery(QStringLiteral("SELECT userId FROM UserInfo"));
    ASSERT_TRUE(r);
    while (r->next()) {
        ++rows;
        ids.insert(r->stringForColumn(QStringLiteral("userId")));
    }
    EXPECT_EQ(rows, kServers);
    EXPECT_EQ(ids.size(), kServers);
    EXPECT_EQ(scan->deviceCount(), kServers);
}

} // namespace
