// What a user sees on standard error: what the client does, not a line per
// frame, unless asked for. The client runs in a child process with the
// logging rules of each case (the test binaries set their own otherwise).
#include "net/udpsocketcontroller.h"
#include "support/testcontext.h"

#include <QCoreApplication>
#include <QProcess>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {

TEST(LoggingClient, StartsSendsNowhereAndHearsADatagram)
{
    if (qEnvironmentVariableIsEmpty("QEVA_LOGGING_CLIENT"))
        GTEST_SKIP() << "runs only as the child of the test below";
    QTemporaryDir dir;
    AppContext ctx(loopbackConfig(dir.path()));
    UdpSocketController &udp = UdpSocketController::shareInstance();
    ASSERT_TRUE(udp.startUdpServer());
    // Before a server is selected every login has no destination.
    for (int i = 0; i < 5; ++i)
        udp.sendMessage(QStringLiteral("414e44015506"), QString(), 5760, -1, 0);
    // Nobody took the endpoint's datagrams yet: it logs them itself. On
    // loopback the datagram is queued when the write returns, so nothing
    // pending means it was handled.
    QUdpSocket peer;
    peer.writeDatagram(QByteArray::fromHex("414e44025003"), QHostAddress(QStringLiteral("127.0.0.1")), ctx.config().localPort);
    ASSERT_TRUE(waitUntil([&] { return !udp.udpServer()->hasPendingDatagrams(); }));
}

TEST(Logging, InfoByDefaultAndPerFrameLinesOnlyWhenAskedFor)
{
    if (!qEnvironmentVariableIsEmpty("QEVA_LOGGING_CLIENT"))
        GTEST_SKIP();
    const struct {
        const char *rules; // null: none at all
        bool perFrame;
    } cases[] = {
        {nullptr, false},
        {"qeva.net.debug=true", true},
        {"qeva.*=false", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rules ? c.rules : "no rules");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QEVA_LOGGING_CLIENT"), QStringLiteral("1"));
        env.insert(QStringLiteral("QEVA_TEST_LOG"), QStringLiteral("1")); // the test main sets no rules then
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (c.rules)
            env.insert(QStringLiteral("QT_LOGGING_RULES"), QLatin1String(c.rules));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=LoggingClient.*")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString err = QString::fromUtf8(child.readAllStandardError());
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString() << err.toStdString();

        const bool everything = !c.rules || c.perFrame;
        EXPECT_EQ(err.contains(QLatin1String("qeva.net: udp servers success starting")), everything) << err.toStdString();
        EXPECT_EQ(err.contains(QLatin1String("qeva.net: no destination for frame")), c.perFrame) << err.toStdString();
        EXPECT_EQ(err.contains(QLatin1String("qeva.net: result = ")), c.perFrame) << err.toStdString();
    }
}

} // namespace
