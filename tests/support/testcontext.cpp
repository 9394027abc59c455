#include "support/testcontext.h"

#include "net/requestsender.h"
#include "net/udpsocketcontroller.h"
#include "session/commonmanager.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QThread>
#include <QUdpSocket>

QStringList frameTexts(const Requests &requests)
{
    QStringList out;
    for (const Request &r : requests)
        out << r.frame;
    return out;
}

ContextConfig loopbackConfig(const QString &documentsDir, bool manualClock)
{
    ContextConfig c;
    c.bindAddress = QHostAddress(QStringLiteral("127.0.0.1"));
    c.localPort = freeUdpPort();
    c.serverPort = 5760;
    c.serverFilePort = 5761;
    c.serverTimePort = 5762;
    c.multicastInterface = QStringLiteral("lo");
    c.phoneAddress = QStringLiteral("127.0.0.1");
    c.documentsDir = documentsDir;
    c.preferencesFile = documentsDir + QStringLiteral("/preferences.ini");
    c.manualClock = manualClock;
    return c;
}

quint16 freeUdpPort(const QHostAddress &address)
{
    QUdpSocket s;
    if (!s.bind(address, 0))
        return 0;
    return s.localPort();
}

quint16 freeTcpPort(const QHostAddress &address)
{
    QTcpServer s;
    if (!s.listen(address, 0))
        return 0;
    return s.serverPort();
}

bool waitUntil(const std::function<bool()> &pred, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

void spinFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

void ContextTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ContextConfig c = loopbackConfig(m_dir.path());
    configure(c);
    m_ctx = std::make_unique<AppContext>(c);
    RequestSender &requests = m_ctx->shared<RequestSender>();
    if (m_useRecorder)
        requests.setSender(&m_recorder);
    else
        requests.setSender(&m_ctx->shared<UdpSocketController>());
    CommonManager::sharedManager().setCurrentPhoneIp(c.phoneAddress);
}

void ContextTest::TearDown()
{
    m_ctx.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ContextTest::selectServer(const QString &ip, const QString &windowId)
{
    CommonManager &cm = CommonManager::sharedManager();
    cm.currentSelectDev.deviceIp = ip;
    cm.currentWindowID = windowId;
}
