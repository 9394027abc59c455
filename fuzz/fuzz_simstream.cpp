// Feeds the simulator's file stream from memory: announcements (5104) and
// their content in pieces of any size, into a fresh media folder each run,
// with the transfer commands, idle time and the peer's close in between.
//
// Record kinds, by kind % 4: 0 stream bytes, 1 a control datagram (bit 2:
// from another address than the stream's), 2 the idle time passes, 3 the
// peer closes and a new stream begins.
#include "fuzzinput.h"
#include "simserver.h"
#include "transferfamily.h"

#include <QIODevice>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

namespace {

// A peer's stream: what is fed is what the next reads take.
class FeedDevice : public QIODevice
{
public:
    FeedDevice() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    void feed(const QByteArray &bytes) { m_data += bytes; }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_at + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *to, qint64 max) override
    {
        const qint64 n = qMin(max, m_data.size() - m_at);
        memcpy(to, m_data.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qsizetype m_at = 0;
};

const QHostAddress kPeer(QStringLiteral("127.0.0.1"));
const QHostAddress kStranger(QStringLiteral("127.0.0.3"));

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication("fuzz_simstream");
    QTemporaryDir media;
    SimConfig c;
    c.bindAddress = kPeer;
    c.announceAddress = kPeer;
    c.udpPort = 0;
    c.timePort = 0;
    c.tcpPort = 0;
    c.intervalMs = 0;
    c.logFile.clear();
    c.families = {QStringLiteral("transfer"), QStringLiteral("playlist")};
    c.mediaDir = media.path();
    qint64 now = 0;
    SimServer sim(c);
    sim.setDatagramSink([](const QByteArray &, const QHostAddress &, quint16) { return true; });
    sim.setClock([&now] { return now; });
    if (!sim.start())
        std::abort();
    TransferFamily &transfer = *sim.family<TransferFamily>();

    std::vector<std::unique_ptr<FeedDevice>> streams;
    const auto newStream = [&] {
        streams.push_back(std::make_unique<FeedDevice>());
        transfer.openStream(streams.back().get(), kPeer, quint16(40000 + streams.size()));
        return streams.back().get();
    };
    FeedDevice *stream = newStream();

    FuzzRecords records(data, size);
    if (records.isOneFrame()) {
        stream->feed(records.whole());
        transfer.readStream(stream);
    } else {
        quint8 kind = 0;
        QByteArray bytes;
        while (records.next(kind, bytes)) {
            switch (kind % 4) {
            case 0:
                stream->feed(bytes);
                transfer.readStream(stream);
                break;
            case 1:
                sim.receiveDatagram(SimPort::Control, bytes, kind & 0x04 ? kStranger : kPeer, 5760);
                break;
            case 2:
                now += c.limits.tcpIdleMs;
                transfer.closeIdleStreams();
                break;
            case 3:
                transfer.endStream(stream);
                stream = newStream();
                break;
            }
        }
    }
    // Whatever is unfinished goes with the peer, and its partial file with it.
    transfer.endStream(stream);
    return 0;
}
