// Servers that announce a name or password in another encoding than UTF-8
// (a server set up on a Chinese system sends GBK): listed, answered, and
// unlocked by the password they sent.
#include "announcement.h"
#include "net/replyrouter.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"
#include "ui/uikit.h"

namespace {

class EncodingTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        scan = new ScanDeviceViewController;
        scan->setUserName(QStringLiteral("tester"));
        UiKit::shared().navigation().push(scan);
    }
    void announce(const Announcement &a) { ReplyRouter::shared().route(a.bytes(), QStringLiteral("127.0.0.2")); }
    ScanDeviceViewController *scan = nullptr;
};

TEST_F(EncodingTest, ANameThatIsNotUtf8IsListedWithAReadableName)
{
    const struct {
        const char *what;
        QByteArray name;
        QString shown;
    } cases[] = {
        {"UTF-8", QByteArray("\xe4\xb8\xbb\xe6\x9c\xba" "A"), QStringLiteral("主机A")},
        {"GBK", QByteArray::fromHex("b2e2cad4"), QStringLiteral("测试")},
        {"GBK up to a zero byte", QByteArray::fromHex("b2e2cad400ff"), QStringLiteral("测试")},
        {"neither, with some text", QByteArray("\xff\xfe" "A", 3), QStringLiteral("\uFFFD\uFFFDA")},
        {"neither, no text at all", QByteArray::fromHex("ffff"), QStringLiteral("0xffff")},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Announcement a;
        a.userId = QStringLiteral("%1").arg(++n, 8, 16, QLatin1Char('0'));
        a.name = c.name;
        announce(a);
        ASSERT_EQ(scan->deviceCount(), n);
        EXPECT_EQ(scan->dataSource().last().deviceName, c.shown);
        EXPECT_EQ(FMManager::sharedManagerInstance().selectAllUserInfoDatas().last().deviceName, c.shown);
        // The same announcement again is the same server.
        announce(a);
        EXPECT_EQ(scan->deviceCount(), n);
    }
}

TEST_F(EncodingTest, TheLoginAnswersSuchAServerWithThePasswordBytesItSent)
{
    selectServer(QStringLiteral("127.0.0.2"));
    Announcement a;
    a.name = QByteArray::fromHex("b2e2cad4");
    a.password = QByteArray::fromHex("c3dcc2eb"); // GBK
    announce(a);
    ASSERT_EQ(m_recorder.frames.size(), 1);
    const QString frame = m_recorder.frames.first().hex;
    EXPECT_TRUE(frame.startsWith(QStringLiteral("414e44015002"))) << frame.toStdString();
    EXPECT_TRUE(frame.contains(QStringLiteral("0004c3dcc2eb7f000001"))) << frame.toStdString();
    // The user id kept for the server is the one its login carries.
    const qint64 id = ctx().preferences().integer(QStringLiteral("kUserConnectedID_测试_127.0.0.2"));
    EXPECT_GE(id, 100000);
    EXPECT_EQ(frame.mid(12, 8), QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0')));
}

TEST_F(EncodingTest, ThePasswordIsComparedOnItsBytes)
{
    const struct {
        const char *what;
        QByteArray password;
        QString right;
        QStringList wrong;
    } cases[] = {
        {"UTF-8", QByteArray("\xe5\xaf\x86" "1"), QStringLiteral("密1"), {QStringLiteral("密"), QStringLiteral("密1 ")}},
        {"GBK", QByteArray::fromHex("c3dcc2eb"), QStringLiteral("密码"),
         {QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD"), QStringLiteral("0xc3dcc2eb"), QStringLiteral("c3dcc2eb")}},
        {"neither: byte for byte", QByteArray::fromHex("ff31"), QStringLiteral("\u00ff" "1"),
         {QStringLiteral("\uFFFD" "1"), QStringLiteral("1")}},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Announcement a;
        a.userId = QStringLiteral("%1").arg(++n, 8, 16, QLatin1Char('0'));
        a.name = QByteArray("S") + QByteArray::number(n);
        a.password = c.password;
        announce(a);
    }
    auto *home = new HomeViewController(scan->dataSource());
    UiKit::shared().navigation().push(home);
    for (int section = 0; section < n; ++section) {
        const auto &c = cases[section];
        SCOPED_TRACE(c.what);
        for (const QString &wrong : c.wrong) {
            home->tapAction(section);
            home->setPasswordText(wrong);
            home->passwordCheck();
            EXPECT_FALSE(home->treeOpenArray().contains(QString::number(section))) << wrong.toStdString();
        }
        home->tapAction(section);
        home->setPasswordText(c.right);
        home->passwordCheck();
        EXPECT_TRUE(home->treeOpenArray().contains(QString::number(section)));
    }
}

} // namespace
