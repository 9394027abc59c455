#include "core/logging.h"
#include "net/replyrouter.h"
#include "net/requestsender.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "protocol/frame.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {

// The endpoint for real, on loopback: a peer socket on 127.0.0.2 stands in
// for a server's control and time ports.
class EndpointTest : public ContextTest
{
protected:
    EndpointTest() { m_useRecorder = false; }
    void configure(ContextConfig &c) override
    {
        const QHostAddress server(QStringLiteral("127.0.0.2"));
        m_control.bind(server, 0);
        m_time.bind(server, 0);
        c.serverPort = m_control.localPort();
        c.serverTimePort = m_time.localPort();
    }
    static QByteArray next(QUdpSocket &s)
    {
        if (!waitUntil([&] { return s.hasPendingDatagrams(); }, 3000))
            return QByteArray("<none>");
        return s.receiveDatagram().data();
    }
    QUdpSocket m_control, m_time;
};

// qeva.net's debug lines on for one scope, as QT_LOGGING_RULES="qeva.net.debug=true"
// would have them (the test binaries turn them off).
class NetDebugOn
{
public:
    NetDebugOn() { category().setEnabled(QtDebugMsg, true); }
    ~NetDebugOn() { category().setEnabled(QtDebugMsg, false); }

private:
    static QLoggingCategory &category() { return const_cast<QLoggingCategory &>(lcNet()); }
};

TEST_F(EndpointTest, RequestsReachTheServerByteForByteOnTheirPort)
{
    selectServer(QStringLiteral("127.0.0.2"));
    RequestSender::shared().send(Frame::build(Catalogue::kRestart));
    EXPECT_EQ(next(m_control), QByteArray("\x41\x4e\x44\x01\x55\x06", 6));

    RequestSender::shared().send(Frame::build(Catalogue::kSetVolume, {QStringLiteral("0a")}));
    EXPECT_EQ(next(m_time), QByteArray("\x41\x4e\x44\x01\x5a\x03\x0a", 7));
    spinFor(50);
    EXPECT_FALSE(m_control.hasPendingDatagrams()) << "the volume family must not reach the control port";
}

TEST_F(EndpointTest, OddOrNonHexTextIsNotSentAndASendNeedsNoServerSocket)
{
    UdpSocketController &udp = UdpSocketController::shareInstance();
    EXPECT_EQ(udp.udpServer(), nullptr);
    const quint16 port = m_control.localPort();
    udp.sendMessage(&udp, QStringLiteral("414e4401550"), QStringLiteral("127.0.0.2"), port, -1, 0);
    udp.sendMessage(&udp, QStringLiteral("414e44zz5506"), QStringLiteral("127.0.0.2"), port, -1, 0);
    udp.sendMessage(&udp, QStringLiteral("414e4401 5506"), QStringLiteral("127.0.0.2"), port, -1, 0);
    EXPECT_EQ(next(m_control), QByteArray("\x41\x4e\x44\x01\x55\x06", 6));
    spinFor(50);
    EXPECT_FALSE(m_control.hasPendingDatagrams());
    EXPECT_NE(udp.udpClient(), nullptr);
}

TEST_F(EndpointTest, StartingTwiceLeavesOneBoundServerSocketAndNoReceivers)
{
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(udp.startUdpServer()) << ctx().log().lines().join('\n').toStdString();
    udp.sendGroupMessage(&m_control, [](const QByteArray &, const QString &, quint16) {}, QByteArray(), 1);
    EXPECT_EQ(udp.delegateCount(), 1);
    ASSERT_TRUE(udp.startUdpServer());
    EXPECT_EQ(udp.delegateCount(), 0);
    EXPECT_TRUE(udp.isServerReceiving());
    EXPECT_EQ(udp.udpServer()->localPort(), ctx().config().localPort);
    EXPECT_EQ(udp.findChildren<QUdpSocket *>().size(), 1); // the old socket is gone
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("udp servers success starting %1").arg(ctx().config().localPort)));
}

TEST_F(EndpointTest, DatagramsGoToTheChosenReceiverOrAreDroppedAndLogged)
{
    NetDebugOn debug;
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(udp.startUdpServer());
    const quint16 phonePort = ctx().config().localPort;
    const QHostAddress phone(QStringLiteral("127.0.0.1"));

    // The controller itself receives first; nobody is registered under tag 1.
    m_control.writeDatagram(QByteArray("AND\x02\x55\x01hi", 8), phone, phonePort);
    ASSERT_TRUE(waitUntil([&] { return ctx().log().containsPrefix(QStringLiteral("result = AND")); }));

    QStringList got;
    QObject screen;
    udp.changeServerDelegate(&screen, [&](const QByteArray &d, const QString &host, quint16) {
        got << host + QLatin1Char(' ') + QString::fromLatin1(d.toHex());
    });
    m_control.writeDatagram(QByteArray("AND\x02\x50\x03", 6), phone, phonePort);
    ASSERT_TRUE(waitUntil([&] { return !got.isEmpty(); }));
    EXPECT_EQ(got.first(), QStringLiteral("127.0.0.2 414e44025003"));
}

TEST_F(EndpointTest, DatagramsAreDecodedForTheLogOnlyWhileNetDebugIsOn)
{
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(udp.startUdpServer());
    const QHostAddress phone(QStringLiteral("127.0.0.1"));

    // On loopback the datagram is queued when the write returns; once the
    // endpoint has nothing pending, it has handled it.
    m_control.writeDatagram(QByteArray("AND\x02\x50\x03", 6), phone, ctx().config().localPort);
    ASSERT_TRUE(waitUntil([&] { return !udp.udpServer()->hasPendingDatagrams(); }));
    EXPECT_FALSE(ctx().log().containsPrefix(QStringLiteral("result = ")));
    EXPECT_FALSE(ctx().log().containsPrefix(QStringLiteral("-------string----")));

    NetDebugOn debug;
    m_control.writeDatagram(QByteArray("AND\x02\x50\x03", 6), phone, ctx().config().localPort);
    ASSERT_TRUE(waitUntil([&] { return ctx().log().containsPrefix(QStringLiteral("result = AND")); }));
}

TEST_F(EndpointTest, TheRouterHearsAnAnnouncementThroughTheEndpoint)
{
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(udp.startUdpServer());
    QObject discovery;
    QString heard;
    ReplyRouter::shared().setServerInfoHandler(&discovery, [&](const QString &hex, const QString &host) { heard = host + ' ' + hex; });
    udp.changeServerDelegate(&discovery, [](const QByteArray &d, const QString &host, quint16) { ReplyRouter::shared().route(d, host); });
    m_control.writeDatagram(QByteArray::fromHex("414e4402500112345678"), QHostAddress(QStringLiteral("127.0.0.1")), ctx().config().localPort);
    ASSERT_TRUE(waitUntil([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard, QStringLiteral("127.0.0.2 414e4402500112345678"));
}

TEST_F(EndpointTest, ABusyPortIsLoggedAndLeavesTheEndpointClosed)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QStringLiteral("127.0.0.1")), ctx().config().localPort)); // no address sharing
    UdpSocketController &udp = UdpSocketController::shareInstance();
    EXPECT_FALSE(udp.startUdpServer());
    EXPECT_FALSE(udp.isServerReceiving());
    EXPECT_TRUE(ctx().log().containsPrefix(QStringLiteral("Error starting server (bind): ")));
}

class LogFormTest : public ContextTest {};

TEST_F(LogFormTest, ReadsTheBytesAsAnEscapedCString)
{
    UdpSocketController &udp = UdpSocketController::shareInstance();
    struct { QByteArray bytes; QString form; } cases[] = {
        {QByteArray("AND\x02P\x01"), QStringLiteral("AND\x02P\x01")},
        {QByteArray("ab\0cd", 5), QStringLiteral("ab")},
        {QByteArray("a\\nb"), QStringLiteral("a\nb")},
        {QByteArray("\\u4e2d"), QStringLiteral("中")},
        {QByteArray("q\"x"), QStringLiteral("q\"x")},
        {QByteArray("end\\"), QStringLiteral("(null)")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(udp.datagramLogText(QString::fromLatin1(c.bytes.toHex())), c.form) << c.bytes.constData();
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("-------string----ab")));
}

} // namespace
