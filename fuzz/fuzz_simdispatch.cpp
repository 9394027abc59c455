// Feeds datagrams to the simulator's request dispatch with every family
// installed: one frame at a time, or sequences from several senders on
// both ports, with time moving on between them. Nothing leaves the
// process: what the simulator would send is swallowed.
//
// Record kinds: bit 0 the time port (else the control port), bits 1-2 the
// sender, bit 3 a second passes first.
#include "fuzzinput.h"
#include "simserver.h"

#include <QTemporaryDir>
#include <cstdlib>

namespace {

struct World
{
    World()
    {
        c.bindAddress = QHostAddress(QStringLiteral("127.0.0.1"));
        c.announceAddress = QHostAddress(QStringLiteral("127.0.0.1"));
        c.udpPort = 0;
        c.timePort = 0;
        c.tcpPort = 0;
        c.intervalMs = 0;
        c.logFile.clear();
        c.windows = {SimWindow{0x01, 0, 0}, SimWindow{0x02, 0, 0}};
        c.mediaDir = media.path();
        c.serverFiles = {QStringLiteral("/srv/a.mp4"), QStringLiteral("/srv/宣传.jpg")};
        c.playLists = {{0x01, c.serverFiles}};
        c.schemes = {{0x01, 0x01, QStringLiteral("早间"), {QStringLiteral("/srv/a.mp4")}}};
        // Small, so that inputs reach every limit.
        c.limits.playListEntries = 8;
        c.limits.nameBytes = 64;
        c.limits.schemesPerWindow = 3;
        c.limits.filesPerScheme = 4;
        c.limits.repliesPerSecond = 16;
        c.limits.memoryLogBytes = 64 * 1024;
    }
    QTemporaryDir media;
    SimConfig c;
};

const QHostAddress kSenders[] = {QHostAddress(QStringLiteral("127.0.0.1")), QHostAddress(QStringLiteral("127.0.0.3")),
                                 QHostAddress(QStringLiteral("127.0.0.4")), QHostAddress(QStringLiteral("0.0.0.0"))};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication("fuzz_simdispatch");
    static World world;

    qint64 now = 0;
    SimServer sim(world.c);
    sim.setDatagramSink([](const QByteArray &, const QHostAddress &, quint16) { return true; });
    sim.setClock([&now] { return now; });
    if (!sim.start())
        std::abort();

    FuzzRecords records(data, size);
    if (records.isOneFrame()) {
        sim.receiveDatagram(SimPort::Control, records.whole(), kSenders[0], 5760);
        return 0;
    }
    quint8 kind = 0;
    QByteArray datagram;
    while (records.next(kind, datagram)) {
        if (kind & 0x08)
            now += 1000;
        sim.receiveDatagram(kind & 0x01 ? SimPort::Time : SimPort::Control, datagram, kSenders[(kind >> 1) & 0x03],
                            quint16(5760 + (kind >> 4)));
    }
    return 0;
}
