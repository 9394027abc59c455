#include "announcement.h"
#include "net/qvmethodlib.h"
#include "net/replyrouter.h"
#include "protocol/logincommands.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"
#include "ui/uikit.h"

namespace {

class LoginTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        scan = new ScanDeviceViewController;
        UiKit::shared().navigation().push(scan);
        selectServer(QStringLiteral("127.0.0.5"));
    }
    ScanDeviceViewController *scan = nullptr;
};

TEST_F(LoginTest, LoginFrameIsByteExact)
{
    ctx().preferences().setString(QStringLiteral("kUserConnectedID_Alpha_127.0.0.2"), QStringLiteral("123456"));
    const struct {
        const char *what;
        QString userName;
        QByteArray name;
        QString expected;
    } cases[] = {
        {"stored id, Chinese user name", QStringLiteral("用户"), "Alpha",
         "414e44015002" "0001e240" "0006" "e794a8e688b7" "0003" "343638" "7f000001" "00022125"},
        {"no stored id", QStringLiteral("ab"), "Other",
         "414e44015002" "000d982b" "0002" "6162" "0003" "343638" "7f000001" "00022125"},
        {"empty user name", QString(), "Alpha",
         "414e44015002" "0001e240" "0000" "0003" "343638" "7f000001" "00022125"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Announcement a;
        a.name = c.name;
        EXPECT_EQ(QVmethodLib::loginFrameWithHexString(a.hex(), c.userName), c.expected);
    }
}

TEST_F(LoginTest, UserIdIsLookedUpWithTheAddressInsideTheReply)
{
    // The record is keyed by the sender; the login by the address the reply carries.
    ctx().preferences().setString(QStringLiteral("kUserConnectedID_Alpha_127.0.0.9"), QStringLiteral("654321"));
    Announcement a;
    a.addressHex = QStringLiteral("7f000009");
    EXPECT_EQ(QVmethodLib::loginFrameWithHexString(a.hex(), QStringLiteral("x"))->mid(12, 8), "0009fbf1");
    a.addressHex = QStringLiteral("7f000002");
    EXPECT_EQ(QVmethodLib::loginFrameWithHexString(a.hex(), QStringLiteral("x"))->mid(12, 8), "000d982b");
}

TEST_F(LoginTest, PasswordFieldsAreCopiedUnchanged)
{
    Announcement a;
    a.password = QByteArrayLiteral("\xe5\xaf\x86\x00z"); // a zero byte ends the text, not the field
    const auto frame = QVmethodLib::loginFrameWithHexString(a.hex(), QStringLiteral("u"));
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->contains(QStringLiteral("0005e5af86007a7f000001")));
}

TEST_F(LoginTest, EveryAnnouncementIsAnsweredToTheSelectedServer)
{
    scan->setUserName(QStringLiteral("tester"));
    Announcement a;
    ReplyRouter::shared().route(a.bytes(), QStringLiteral("127.0.0.9"));

    ASSERT_EQ(m_recorder.frames.size(), 1);
    const SentFrame &f = m_recorder.frames.first();
    EXPECT_EQ(f.hex, "414e44015002" "000d982b" "0006" "746573746572" "0003" "343638" "7f000001" "00022125");
    EXPECT_EQ(f.host, "127.0.0.5");
    EXPECT_EQ(f.port, ctx().config().serverPort);
    EXPECT_EQ(f.timeoutSec, -1);
    EXPECT_EQ(f.tag, 0);

    // Recorded before the answer: the answer to the next one finds the id.
    const QString id = ctx().preferences().string(QStringLiteral("kUserConnectedID_Alpha_127.0.0.9"));
    a.addressHex = QStringLiteral("7f000009");
    ReplyRouter::shared().route(a.bytes(), QStringLiteral("127.0.0.9"));
    ASSERT_EQ(m_recorder.frames.size(), 2);
    EXPECT_EQ(m_recorder.frames[1].hex.mid(12, 8), QString::asprintf("%08x", id.toInt()));
}

TEST_F(LoginTest, ReplyWithoutServerAddressSendsNoLogin)
{
    Announcement noTail;
    noTail.tail.clear(); // the address must be followed by at least one more character
    Announcement cutAddress;
    cutAddress.addressHex = QStringLiteral("7f00");
    cutAddress.tail.clear();
    Announcement badAddress;
    badAddress.addressHex = QStringLiteral("7f0000zz");
    for (const Announcement &a : {noTail, cutAddress, badAddress})
        EXPECT_FALSE(QVmethodLib::loginFrameWithHexString(a.hex(), QStringLiteral("u"))) << a.hex().toStdString();

    // A user name whose length does not fit its 2-byte field.
    EXPECT_FALSE(QVmethodLib::loginFrameWithHexString(Announcement().hex(), QString(0x10000, QLatin1Char('u'))));
    EXPECT_TRUE(QVmethodLib::loginFrameWithHexString(Announcement().hex(), QString(0xffff, QLatin1Char('u'))));

    QVmethodLib::sendXintiaoOrderWithHexString(noTail.hex(), QStringLiteral("u"), QStringLiteral("127.0.0.2"));
    EXPECT_TRUE(m_recorder.frames.isEmpty());
}

TEST_F(LoginTest, ConnectionEndFromAnySenderReturnsToDiscovery)
{
    ReplyRouter::shared().route(Announcement().bytes(), QStringLiteral("127.0.0.2"));
    KTBaseNavigationController &nav = UiKit::shared().navigation();
    nav.push(new KTBaseViewController);
    nav.push(new KTBaseViewController);

    // Even from the phone's own address.
    ReplyRouter::shared().route(QByteArray::fromHex("414e44025003"), QStringLiteral("127.0.0.1"));

    EXPECT_EQ(nav.count(), 1);
    EXPECT_EQ(nav.top(), scan);
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Error, QStringLiteral("设备退出连接")));
    EXPECT_TRUE(FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty());
}

} // namespace
