// A desktop on a LAN, in network namespaces the tests make: a second
// interface beside the one to the server, a network without a multicast
// route, an address that has no route at all. Each test sets the network up
// and runs its client side (a test below, or qevactl) inside the phone's
// namespace. Nothing leaves the machine.
#include "app/appdelegate.h"
#include "net/addresswatch.h"
#include "net/replyrouter.h"
#include "net/udpsocketcontroller.h"
#include "protocol/logincommands.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"
#include "testnetwork.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kServer = QStringLiteral("169.254.77.1");
const QString kPhone = QStringLiteral("169.254.77.2");
const QString kPhoneMoved = QStringLiteral("169.254.77.3");
const QString kOther = QStringLiteral("169.254.88.7");

bool inside(const char *role)
{
    return qEnvironmentVariable("QEVA_LAN_ROLE") == QLatin1String(role);
}

// Runs the test named filter of this binary inside ns with the role set.
int runSide(const QString &ns, const char *role, const QString &filter, QString *output,
            const QMap<QString, QString> &extra = {})
{
    QMap<QString, QString> env = extra;
    env.insert(QStringLiteral("QEVA_LAN_ROLE"), QLatin1String(role));
    return TestNetwork::runIn(ns, QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--gtest_filter=") + filter}, env, output);
}

// The client with the real defaults and a manual clock for the address watch.
class ClientSide : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ContextConfig c; // 0.0.0.0:5760, the group on the system's interface
        c.documentsDir = m_dir.path();
        c.manualClock = true;
        m_ctx = std::make_unique<AppContext>(c);
        for (const char *n : {"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"})
            m_ctx->notices().subscribe(&m_observer, QLatin1String(n), [this, n](const QVariant &) { posted << QLatin1String(n); });
    }
    void advanceWatch() { m_ctx->manualScheduler()->advance(AddressWatch::kIntervalMs); }
    QString log() const { return m_ctx->log().lines().join('\n'); }

    QTemporaryDir m_dir;
    std::unique_ptr<AppContext> m_ctx;
    QObject m_observer;
    QStringList posted;
};

// --- the own address with two interfaces -------------------------------------

TEST_F(ClientSide, OwnAddressSide)
{
    if (!inside("own-address"))
        GTEST_SKIP() << "runs only inside the phone's namespace";
    const QString veth = qEnvironmentVariable("QEVA_LAN_VETH");
    AppDelegate &app = AppDelegate::shareAppDelegate();
    CommonManager &session = CommonManager::sharedManager();
    ASSERT_TRUE(app.didFinishLaunching()) << log().toStdString();

    // No server yet: one of this machine's addresses, whichever comes first.
    EXPECT_TRUE(session.currentPhoneIp() == kPhone || session.currentPhoneIp() == kOther) << session.currentPhoneIp().toStdString();

    // With the server selected: the address on its subnet, whatever the order.
    session.currentSelectDev.deviceIp = kServer;
    EXPECT_EQ(session.currentPhoneIp(), kPhone);
    EXPECT_EQ(app.chooseAddress(), kPhone);
    advanceWatch();
    EXPECT_TRUE(posted.isEmpty()) << posted.join(' ').toStdString();

    // The user's setting wins, and going back to automatic finds the route again.
    ASSERT_TRUE(app.setUserAddress(kOther));
    EXPECT_EQ(session.currentPhoneIp(), kOther);
    ASSERT_TRUE(app.setUserAddress(QString()));
    EXPECT_EQ(session.currentPhoneIp(), kPhone);
    posted.clear();

    // The LAN gives the interface another address while the client runs.
    QString error;
    ASSERT_TRUE(ip({"addr", "del", kPhone + "/24", "dev", veth}, &error)) << error.toStdString();
    ASSERT_TRUE(ip({"addr", "add", kPhoneMoved + "/24", "brd", "+", "dev", veth}, &error)) << error.toStdString();
    advanceWatch();
    EXPECT_EQ(posted, (QStringList{"didReceiveIPChangedNotificaition", "didChangeDelegateNotificaition"}));
    EXPECT_EQ(session.currentPhoneIp(), kPhoneMoved);
    EXPECT_EQ(session.currentPhoneIpHex(), "a9fe4d03");
    EXPECT_TRUE(UdpSocketController::shareInstance().isServerReceiving());
}

TEST(OwnAddress, IsTheOneOnTheServersSubnetAndFollowsAChange)
{
    if (!qEnvironmentVariableIsEmpty("QEVA_LAN_ROLE"))
        GTEST_SKIP();
    TestNetwork net(QStringLiteral("oa"));
    const QString server = net.addNamespace(QStringLiteral("osrv"));
    const QString phone = net.addNamespace(QStringLiteral("oph"));
    // The other interface comes first, so that "the first suitable one" is
    // the wrong one for the server.
    net.addInterface(phone, kOther + QStringLiteral("/24"));
    const QStringList ends = net.link(server, kServer + QStringLiteral("/24"), phone, kPhone + QStringLiteral("/24"));
    if (!net.ok())
        GTEST_SKIP() << "cannot create network namespaces here (" << net.error().toStdString() << ")";

    QString output;
    const int status = runSide(phone, "own-address", QStringLiteral("ClientSide.OwnAddressSide"), &output,
                               {{QStringLiteral("QEVA_LAN_VETH"), ends.value(1)}});
    EXPECT_EQ(status, 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}

// --- a LAN without a multicast route ----------------------------------------

TEST_F(ClientSide, NoMulticastRouteSide)
{
    if (!inside("no-multicast"))
        GTEST_SKIP() << "runs only inside the phone's namespace";
    const QString veth = qEnvironmentVariable("QEVA_LAN_VETH");
    AppDelegate &app = AppDelegate::shareAppDelegate();
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(app.didFinishLaunching());
    ASSERT_TRUE(udp.isServerReceiving()) << log().toStdString();
    EXPECT_FALSE(udp.isGroupJoined());
    EXPECT_TRUE(m_ctx->log().contains(QStringLiteral(
        "cannot join 239.9.9.1 on the system's interface: No such device: use --multicast-interface; listening for "
        "broadcast and unicast only")))
        << log().toStdString();

    QStringList names;
    QObject discovery;
    ReplyRouter::shared().setServerInfoHandler(&discovery, [&](const QString &hex, const QString &) {
        if (const auto info = ShebeiInfoReply::read(hex); info && !names.contains(info->displayName()))
            names << info->displayName();
    });
    udp.changeServerDelegate(&discovery, [](const QByteArray &d, const QString &host, quint16) { ReplyRouter::shared().route(d, host); });

    // Broadcast is heard; the group is not, without a membership.
    ASSERT_TRUE(waitUntil([&] { return names.contains(QStringLiteral("broadcast")); }, 10000)) << names.join(',').toStdString();
    spinFor(600);
    EXPECT_FALSE(names.contains(QStringLiteral("group")));

    // The network gains its multicast route: the watch notices, the join is
    // tried again and holds.
    QString error;
    ASSERT_TRUE(ip({"route", "add", "224.0.0.0/4", "dev", veth}, &error)) << error.toStdString();
    advanceWatch();
    EXPECT_TRUE(udp.isGroupJoined()) << log().toStdString();
    EXPECT_TRUE(m_ctx->log().contains(QStringLiteral("joined 239.9.9.1 on the system's interface")));
    EXPECT_TRUE(waitUntil([&] { return names.contains(QStringLiteral("group")); }, 10000)) << names.join(',').toStdString();
}

TEST(NoMulticastRoute, TheClientHearsBroadcastAndJoinsWhenTheRouteComes)
{
    if (!qEnvironmentVariableIsEmpty("QEVA_LAN_ROLE"))
        GTEST_SKIP();
    TestNetwork net(QStringLiteral("nm"));
    const QString server = net.addNamespace(QStringLiteral("nsrv"));
    const QString phone = net.addNamespace(QStringLiteral("nph"));
    const QStringList ends = net.link(server, kServer + QStringLiteral("/24"), phone, kPhone + QStringLiteral("/24"));
    // Only the server's side may send to the group.
    net.route(server, {"add", "224.0.0.0/4", "dev", ends.value(0)});
    if (!net.ok())
        GTEST_SKIP() << "cannot create network namespaces here (" << net.error().toStdString() << ")";

    QTemporaryDir dir;
    QList<std::shared_ptr<QProcess>> sims;
    const struct { const char *name, *to, *udp, *time, *tcp; } servers[] = {
        {"broadcast", "169.254.77.255", "5760", "5762", "5761"},
        {"group", "239.9.9.1", "6760", "6762", "6761"},
    };
    for (const auto &s : servers) {
        auto sim = std::make_shared<QProcess>();
        sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim->start(QStringLiteral("ip"), {"netns", "exec", server, QStringLiteral(QEVA_SIM_BIN), "--bind", "0.0.0.0",
                                          "--announce-to", QLatin1String(s.to) + QStringLiteral(":5760"),
                                          "--interval-ms", "200", "--name", QLatin1String(s.name), "--udp-port",
                                          QLatin1String(s.udp), "--time-port", QLatin1String(s.time), "--tcp-port",
                                          QLatin1String(s.tcp), "--log", dir.filePath(QLatin1String(s.name))});
        ASSERT_TRUE(sim->waitForStarted(5000));
        sims << sim;
    }

    QString output;
    const int status = runSide(phone, "no-multicast", QStringLiteral("ClientSide.NoMulticastRouteSide"), &output,
                               {{QStringLiteral("QEVA_LAN_VETH"), ends.value(1)}});
    for (const auto &sim : sims) {
        sim->terminate();
        if (!sim->waitForFinished(3000))
            sim->kill();
    }
    EXPECT_EQ(status, 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}

// --- qevactl where the network says no ---------------------------------------

TEST(QevactlWithoutANetwork, NamesTheRealCauseAndDoesNotWaitForNothing)
{
    if (!qEnvironmentVariableIsEmpty("QEVA_LAN_ROLE"))
        GTEST_SKIP();
    // A namespace with nothing but its loopback: no route anywhere, no
    // multicast route.
    TestNetwork net(QStringLiteral("cl"));
    const QString alone = net.addNamespace(QStringLiteral("alone"));
    if (!net.ok())
        GTEST_SKIP() << "cannot create network namespaces here (" << net.error().toStdString() << ")";
    const QMap<QString, QString> env = {{QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0")},
                                        {QStringLiteral("QT_LOGGING_RULES"), QString()}};

    // An address without a route: the send fails at once, and that is the error.
    QString output;
    int status = TestNetwork::runIn(alone, QStringLiteral(QEVA_CTL_BIN),
                                    {"-s", "192.0.2.10", "--timeout", "30", "volume"}, env, &output);
    EXPECT_EQ(status, 1) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("qevactl: 192.0.2.10: the volume query could not be sent: ")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("Network is unreachable"))) << output.toStdString();
    EXPECT_FALSE(output.contains(QLatin1String("no reply"))) << output.toStdString();
    EXPECT_FALSE(output.contains(QLatin1String("qeva.net"))) << output.toStdString();

    // A scan that hears nothing says why the group could not be joined.
    status = TestNetwork::runIn(alone, QStringLiteral(QEVA_CTL_BIN), {"--scan-seconds", "1", "scan"}, env, &output);
    EXPECT_EQ(status, 3) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("no server answered"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("cannot join 239.9.9.1 on the system's interface: No such device")))
        << output.toStdString();
}

} // namespace
