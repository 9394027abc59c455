// The endpoint when the network is not kind: a group it cannot join, and
// more datagrams than one turn of the event loop should take.
#include "net/udpsocketcontroller.h"
#include "support/testcontext.h"

#include <QTimer>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {

class EndpointLoadTest : public ContextTest
{
protected:
    EndpointLoadTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override { c.multicastInterface = m_interface; }
    UdpSocketController &udp() { return UdpSocketController::shareInstance(); }
    void sendToPhone(const QByteArray &data)
    {
        m_peer.writeDatagram(data, QHostAddress(QStringLiteral("127.0.0.1")), ctx().config().localPort);
    }
    QString m_interface = QStringLiteral("lo");
    QUdpSocket m_peer;
};

class NoGroupTest : public EndpointLoadTest
{
protected:
    NoGroupTest() { m_interface = QStringLiteral("qevanosuch0"); }
};

TEST_F(NoGroupTest, AGroupThatCannotBeJoinedLeavesUnicastListeningAndSaysWhy)
{
    ASSERT_TRUE(udp().startUdpServer()) << ctx().log().lines().join('\n').toStdString();
    EXPECT_TRUE(udp().isServerReceiving());
    EXPECT_FALSE(udp().isGroupJoined());
    EXPECT_TRUE(ctx().log().contains(QStringLiteral(
        "cannot join 239.9.9.1 on qevanosuch0: there is no interface called qevanosuch0: use --multicast-interface; "
        "listening for broadcast and unicast only")))
        << ctx().log().lines().join('\n').toStdString();

    QStringList heard;
    QObject screen;
    udp().changeServerDelegate(&screen, [&](const QByteArray &d, const QString &host, quint16) {
        heard << host + QLatin1Char(' ') + QString::fromLatin1(d.toHex());
    });
    ASSERT_TRUE(m_peer.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    sendToPhone(QByteArray::fromHex("414e4402500100000001"));
    ASSERT_TRUE(waitUntil([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard.first(), "127.0.0.2 414e4402500100000001");

    // Trying again with the same cause says nothing new.
    const int lines = int(ctx().log().lines().size());
    EXPECT_FALSE(udp().retryGroupJoin());
    EXPECT_EQ(ctx().log().lines().size(), lines);
}

TEST_F(EndpointLoadTest, AJoinedGroupIsReportedAndARetryKeepsIt)
{
    ASSERT_TRUE(udp().startUdpServer());
    EXPECT_TRUE(udp().isGroupJoined());
    EXPECT_TRUE(udp().groupError().isEmpty());
    EXPECT_TRUE(udp().retryGroupJoin());
    udp().closeUdpServer();
    EXPECT_FALSE(udp().isGroupJoined());
}

TEST_F(EndpointLoadTest, AFloodIsHandedOverAFewAtATimeBetweenOtherWork)
{
    ASSERT_TRUE(udp().startUdpServer());
    ASSERT_TRUE(m_peer.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    // A user's tap comes in while the first datagram is handled: it must not
    // wait until the whole flood is through.
    int handled = 0;
    int handledWhenTapped = -1;
    QObject screen;
    udp().changeServerDelegate(&screen, [&](const QByteArray &, const QString &, quint16) {
        if (++handled == 1)
            QTimer::singleShot(0, &screen, [&] { handledWhenTapped = handled; });
    });

    // All of it waits in the socket before the event loop sees any.
    constexpr int kDatagrams = 300;
    for (int i = 0; i < kDatagrams; ++i)
        sendToPhone(QByteArray::fromHex("414e4402500100000000") + QByteArray::number(i));

    ASSERT_TRUE(waitUntil([&] { return handled == kDatagrams; }, 20000)) << handled;
    ASSERT_GE(handledWhenTapped, 0);
    EXPECT_LE(handledWhenTapped, 2 * UdpSocketController::kMaxDatagramsPerPass);
    spinFor(50);
    EXPECT_EQ(handled, kDatagrams); // nothing lost, nothing twice
}

} // namespace
