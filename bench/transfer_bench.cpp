// How fast a file reaches the simulator over the file stream, against a
// plain loopback TCP copy of the same bytes in the same run, and how much
// memory the transfer holds at its peak against the file's size.
//
//   FileStream256MiB   the stream alone: announcement and content through
//                      SendSocket, received and stored by the simulator;
//   SendingScreen256MiB the whole screen: the picked file read, announced,
//                      kept in its history row, sent, marked and listed.
//
// Counters: plain_MiBps and qeva_MiBps (from the first byte queued to the
// file stored at the far end), ratio = qeva / plain, peak_x_file = the
// process's peak resident memory above what it held before the file was
// read, over the file's size. The simulator runs in a thread of its own, as
// the plain copy's receiver does.
#include "core/appcontext.h"
#include "net/sendsocket.h"
#include "protocol/transfercommands.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "session/commonmanager.h"
#include "simserver.h"
#include "store/fmmanager.h"
#include "transferfamily.h"
#include "ui/ktbasenavigationcontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <future>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint64 kFileSize = qint64(256) << 20;
const QHostAddress kSimAddress(QStringLiteral("127.0.0.2"));

// --- memory ---------------------------------------------------------------

qint64 statusKiB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Starts a new peak: the high-water mark falls back to what is resident now.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// --- the bytes --------------------------------------------------------------

QByteArray content(qint64 size)
{
    QByteArray b(size, Qt::Uninitialized);
    quint64 x = 0x9e3779b97f4a7c15ull;
    for (qint64 i = 0; i + 8 <= size; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        memcpy(b.data() + i, &x, 8);
    }
    return b;
}

// --- the plain copy -----------------------------------------------------------

// Blocking send() of the buffer to a receiver thread that writes what it
// reads to a file in the same folder as the simulator's media: the least a
// file transfer over loopback can cost.
double plainCopySeconds(const QByteArray &bytes, const QString &folder)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(listener, 1) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        ::close(listener);
        return -1;
    }
    const QString path = QDir(folder).filePath(QStringLiteral("plain-copy.bin"));
    std::thread receiver([&] {
        const int s = ::accept(listener, nullptr, nullptr);
        QFile out(path);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QByteArray buf(1 << 20, Qt::Uninitialized);
        qint64 total = 0;
        while (total < bytes.size()) {
            const ssize_t n = ::recv(s, buf.data(), size_t(buf.size()), 0);
            if (n <= 0)
                break;
            out.write(buf.constData(), n);
            total += n;
        }
        out.close();
        ::close(s);
    });

    QElapsedTimer t;
    t.start();
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    qint64 sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(s, bytes.constData() + sent, size_t(bytes.size() - sent), 0);
        if (n <= 0)
            break;
        sent += n;
    }
    receiver.join();
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    ::close(s);
    ::close(listener);
    QFile::remove(path);
    return seconds;
}

// --- the simulator in a thread of its own ----------------------------------------

class SimThread : public QThread
{
public:
    explicit SimThread(QString mediaDir) : m_mediaDir(std::move(mediaDir)) {}
    ~SimThread() override
    {
        quit();
        wait();
    }
    // The TCP and UDP ports, once it runs.
    std::pair<quint16, quint16> startAndWait()
    {
        std::future<std::pair<quint16, quint16>> ports = m_ports.get_future();
        start();
        return ports.get();
    }
    int received() const { return m_received.load(); }
    // When the last file was stored, on the steady clock.
    std::chrono::steady_clock::time_point receivedAt() const
    {
        return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(m_receivedAt.load()));
    }
    SimServer *server() const { return m_server; }

protected:
    void run() override
    {
        SimConfig c;
        c.bindAddress = kSimAddress;
        c.announceAddress = QHostAddress(QStringLiteral("127.0.0.1"));
        c.announcePort = 9; // nobody: the benchmark does not log in
        c.replyPort = 9;
        c.udpPort = 0;
        c.timePort = 0;
        c.tcpPort = 0;
        c.intervalMs = 0;
        c.memoryLogLines = 100;
        c.families = QStringList{QStringLiteral("transfer"), QStringLiteral("playlist")};
        SimServer server(c);
        if (!server.start()) {
            m_ports.set_value({0, 0});
            return;
        }
        server.family<TransferFamily>()->setMediaDir(m_mediaDir);
        QObject::connect(&server, &SimServer::lineLogged, &server, [this](const QString &line) {
            if (line.startsWith(QLatin1String("state transfer received "))) {
                m_receivedAt = std::chrono::steady_clock::now().time_since_epoch().count();
                ++m_received;
            }
        }, Qt::DirectConnection);
        m_server = &server;
        m_ports.set_value({server.tcpPort(), server.udpPort()});
        exec();
        m_server = nullptr;
    }

private:
    QString m_mediaDir;
    std::promise<std::pair<quint16, quint16>> m_ports;
    std::atomic<int> m_received{0};
    std::atomic<std::chrono::steady_clock::rep> m_receivedAt{0};
    SimServer *m_server = nullptr;
};

// Runs the main thread's events until the simulator has stored one more file.
bool waitForStored(const SimThread &sim, int before, int timeoutMs = 120000)
{
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (sim.received() > before)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return sim.received() > before;
}

struct World
{
    World()
    {
        media = std::make_unique<QTemporaryDir>();
        docs = std::make_unique<QTemporaryDir>();
        sim = std::make_unique<SimThread>(media->path());
        const auto [tcp, udp] = sim->startAndWait();
        ContextConfig c;
        c.bindAddress = QHostAddress(QStringLiteral("127.0.0.1"));
        c.localPort = 0;
        c.phoneAddress = QStringLiteral("127.0.0.1");
        c.serverPort = udp;
        c.serverFilePort = tcp;
        c.documentsDir = docs->path();
        c.manualClock = true;
        ctx = std::make_unique<AppContext>(c);
        CommonManager &cm = CommonManager::sharedManager();
        cm.setCurrentPhoneIp(QStringLiteral("127.0.0.1"));
        cm.currentSelectDev.deviceIp = kSimAddress.toString();
        cm.currentSelectDev.userId = QStringLiteral("00000001");
        cm.currentWindowID = QStringLiteral("01");
    }
    ~World()
    {
        ctx.reset();
        sim.reset();
    }
    void clearMedia()
    {
        QDir dir(media->path());
        for (const QString &f : dir.entryList(QDir::Files))
            dir.remove(f);
    }
    std::unique_ptr<QTemporaryDir> media, docs;
    std::unique_ptr<SimThread> sim;
    std::unique_ptr<AppContext> ctx;
};

World &world()
{
    static World w;
    return w;
}

double secondsSince(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end)
{
    return std::chrono::duration<double>(end - start).count();
}

void report(benchmark::State &state, double plain, double qeva, double peakRatio)
{
    const double mib = double(kFileSize) / (1 << 20);
    state.counters["plain_MiBps"] = mib / plain;
    state.counters["qeva_MiBps"] = mib / qeva;
    state.counters["ratio"] = plain / qeva;
    state.counters["peak_x_file"] = peakRatio;
}

void FileStream256MiB(benchmark::State &state)
{
    World &w = world();
    double plainTotal = 0, qevaTotal = 0, peakMax = 0;
    int runs = 0;
    for (auto _ : state) {
        const qint64 before = statusKiB("VmRSS");
        QByteArray bytes = content(kFileSize);
        plainTotal += plainCopySeconds(bytes, w.media->path());
        // The peak from here on: the file in memory and what sending adds.
        resetPeak();

        const int stored = w.sim->received();
        const auto start = std::chrono::steady_clock::now();
        SendSocket &stream = SendSocket::shareMananger();
        stream.disconnectTosocket();
        QVmethodLib::sendFilesInfo(bytes, QStringLiteral("03"), QStringLiteral("bench%1.mov").arg(runs),
                                   QStringLiteral("01"));
        stream.sendData(bytes, 0);
        bytes = QByteArray(); // the stream holds the only reference now
        if (!waitForStored(*w.sim, stored)) {
            state.SkipWithError("the simulator did not store the file");
            break;
        }
        const double seconds = secondsSince(start, w.sim->receivedAt());
        state.SetIterationTime(seconds);
        qevaTotal += seconds;
        peakMax = std::max(peakMax, double(statusKiB("VmHWM") - before) * 1024 / double(kFileSize));
        stream.disconnectTosocket();
        w.clearMedia();
        ++runs;
    }
    if (runs)
        report(state, plainTotal / runs, qevaTotal / runs, peakMax);
}

void SendingScreen256MiB(benchmark::State &state)
{
    World &w = world();
    const QString path = QDir(w.docs->path()).filePath(QStringLiteral("picked.mov"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content(kFileSize));
    }
    double plainTotal = 0, qevaTotal = 0, peakPick = 0, peakSend = 0, pickTotal = 0, finishTotal = 0;
    int runs = 0;
    for (auto _ : state) {
        {
            const QByteArray bytes = content(kFileSize);
            plainTotal += plainCopySeconds(bytes, w.media->path());
        }
        FMManager::sharedManagerInstance().DeleteAllSendFiles();
        const qint64 before = statusKiB("VmRSS");
        const int stored = w.sim->received();
        {
            KTBaseNavigationController nav(new KTBaseViewController);
            auto *screen = new PlayFilesViewController;
            nav.push(screen);
            // Picked: read, announced, kept in its history row.
            resetPeak();
            const auto picked = std::chrono::steady_clock::now();
            screen->didFinishPickingFile(path);
            pickTotal += secondsSince(picked, std::chrono::steady_clock::now());
            peakPick = std::max(peakPick, double(statusKiB("VmHWM") - before) * 1024 / double(kFileSize));

            // The announced second passes; the content is queued now.
            resetPeak();
            const auto start = std::chrono::steady_clock::now();
            w.ctx->manualScheduler()->advance(PlayFilesViewController::kContentDelayMs);
            if (!waitForStored(*w.sim, stored)) {
                state.SkipWithError("the simulator did not store the file");
                break;
            }
            // The screen's end: the row marked and the list read back.
            QEventLoop settle;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &settle, [&] {
                if (!screen->isSending())
                    settle.quit();
            });
            poll.start(1);
            settle.exec();
            const double seconds = secondsSince(start, w.sim->receivedAt());
            finishTotal += secondsSince(w.sim->receivedAt(), std::chrono::steady_clock::now());
            state.SetIterationTime(seconds);
            qevaTotal += seconds;
            peakSend = std::max(peakSend, double(statusKiB("VmHWM") - before) * 1024 / double(kFileSize));
        }
        SendSocket::shareMananger().disconnectTosocket();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w.clearMedia();
        ++runs;
    }
    QFile::remove(path);
    if (runs) {
        report(state, plainTotal / runs, qevaTotal / runs, std::max(peakPick, peakSend));
        state.counters["peak_pick_x_file"] = peakPick;
        state.counters["peak_send_x_file"] = peakSend;
        state.counters["pick_ms"] = 1000 * pickTotal / runs;
        state.counters["finish_ms"] = 1000 * finishTotal / runs;
    }
}

BENCHMARK(FileStream256MiB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SendingScreen256MiB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qeva.*.info=false;qeva.*.debug=false");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
