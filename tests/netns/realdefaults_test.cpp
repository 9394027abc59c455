// The client with the real defaults (0.0.0.0:5760, the group 239.9.9.1,
// broadcast) against the simulator, each in a network namespace of its own,
// joined by a veth pair on link-local addresses. Nothing leaves the machine.
#include "core/appcontext.h"
#include "net/replyrouter.h"
#include "net/requestsender.h"
#include "net/udpsocketcontroller.h"
#include "protocol/catalogue.h"
#include "protocol/frame.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"
#include "testnetwork.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char *const kServerAddress = "169.254.77.1";
const char *const kPhoneAddress = "169.254.77.2";

// Two namespaces and a veth pair with a route for the group on each side.
class NamespacePair
{
public:
    NamespacePair()
        : net(QStringLiteral("rd"))
    {
        server = net.addNamespace(QStringLiteral("srv"));
        phone = net.addNamespace(QStringLiteral("ph"));
        const QStringList ends = net.link(server, QLatin1String(kServerAddress) + QStringLiteral("/16"), phone,
                                          QLatin1String(kPhoneAddress) + QStringLiteral("/16"));
        net.route(server, {"add", "224.0.0.0/4", "dev", ends.value(0)});
        net.route(phone, {"add", "224.0.0.0/4", "dev", ends.value(1)});
        ok = net.ok();
        error = net.error();
    }
    TestNetwork net;
    bool ok = false;
    QString error, server, phone;
};

class RealDefaults : public ::testing::TestWithParam<const char *> {};

// The phone's side, run by the test below inside the phone's namespace.
TEST(RealDefaultsPhone, HearsTheServerAndRestartsIt)
{
    if (qEnvironmentVariableIsEmpty("QEVA_NETNS_PHONE"))
        GTEST_SKIP() << "runs only inside the phone's namespace";
    QTemporaryDir dir;
    ContextConfig c; // the real defaults
    c.documentsDir = dir.path();
    AppContext ctx(c);
    CommonManager::sharedManager().setCurrentPhoneIp(QLatin1String(kPhoneAddress));
    UdpSocketController &udp = UdpSocketController::shareInstance();
    RequestSender::shared().setSender(&udp);
    ASSERT_TRUE(udp.startUdpServer()) << ctx.log().lines().join('\n').toStdString();
    QObject discovery;
    QString announcer;
    ReplyRouter::shared().setServerInfoHandler(&discovery, [&](const QString &, const QString &host) { announcer = host; });
    udp.changeServerDelegate(&discovery, [](const QByteArray &d, const QString &host, quint16) { ReplyRouter::shared().route(d, host); });
    ASSERT_TRUE(waitUntil([&] { return !announcer.isEmpty(); }, 10000)) << "no announcement arrived";
    EXPECT_EQ(announcer, QLatin1String(kServerAddress));
    CommonManager::sharedManager().currentSelectDev.deviceIp = announcer;
    RequestSender::shared().send(Frame::build(Catalogue::kRestart));
    RequestSender::shared().send(Frame::build(Catalogue::kSetVolume, {QStringLiteral("07")}));
    spinFor(300);
}

TEST_P(RealDefaults, AnnouncementReachesThePhoneAndItsRequestsReachTheServer)
{
    if (!qEnvironmentVariableIsEmpty("QEVA_NETNS_PHONE"))
        GTEST_SKIP();
    NamespacePair pair;
    if (!pair.ok)
        GTEST_SKIP() << "cannot create network namespaces here (" << pair.error.toStdString() << ")";

    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("sim.log"));
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral("ip"), {"netns", "exec", pair.server, QStringLiteral(QEVA_SIM_BIN), "--bind", "0.0.0.0",
                                     "--announce-to", QLatin1String(GetParam()), "--interval-ms", "200",
                                     "--name", "网络测试", "--password", "468", "--windows", "01", "--log", log});
    ASSERT_TRUE(sim.waitForStarted(5000));

    QProcess phone;
    phone.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QEVA_NETNS_PHONE"), QStringLiteral("1"));
    phone.setProcessEnvironment(env);
    phone.start(QStringLiteral("ip"), {"netns", "exec", pair.phone, QCoreApplication::applicationFilePath(),
                                       "--gtest_filter=RealDefaultsPhone.*"});
    ASSERT_TRUE(phone.waitForFinished(30000));
    const QString phoneOutput = QString::fromLocal8Bit(phone.readAll());
    EXPECT_EQ(phone.exitCode(), 0) << phoneOutput.toStdString();

    ASSERT_TRUE(waitUntil([&] {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains("5a03 414e44015a0307");
    }, 5000));
    sim.terminate();
    if (!sim.waitForFinished(3000))
        sim.kill();
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray lines = f.readAll();
    EXPECT_TRUE(lines.contains("5506 414e44015506")) << lines.constData();
    EXPECT_TRUE(lines.contains("5a03 414e44015a0307")) << lines.constData();
}

INSTANTIATE_TEST_SUITE_P(GroupAndBroadcast, RealDefaults, ::testing::Values("239.9.9.1", "169.254.255.255"));

} // namespace
