#include "announcement.h"
#include "net/replyrouter.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "screens/shell/systemviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/popupcenter.h"
#include "ui/uikit.h"

#include <QSettings>

namespace {

const QString kCountLine1 = QStringLiteral("已扫描到1台设备，正在继续扫描，请稍候...");

class DiscoveryTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        scan = new ScanDeviceViewController;
        scan->setUserName(QStringLiteral("tester"));
        nav().push(scan);
        context().notices().subscribe(&observer, QStringLiteral("didReceiveShebeiInfoNotice"),
                                      [this](const QVariant &o) { shebeiNotices << o.toString(); });
    }
    AppContext &context() { return ctx(); }
    KTBaseNavigationController &nav() { return UiKit::shared().navigation(); }
    FMManager &db() { return FMManager::sharedManagerInstance(); }
    void announce(const Announcement &a, const QString &from = QStringLiteral("127.0.0.2"))
    {
        ReplyRouter::shared().route(a.bytes(), from);
    }
    QStringList userIdKeys()
    {
        ctx().preferences().sync();
        QSettings s(ctx().preferences().fileName(), QSettings::IniFormat);
        return s.allKeys().filter(QStringLiteral("kUserConnectedID_"));
    }

    ScanDeviceViewController *scan = nullptr;
    QObject observer;
    QStringList shebeiNotices;
};

TEST_F(DiscoveryTest, LoadedScreenShowsItsTexts)
{
    EXPECT_EQ(scan->title(), QStringLiteral("QEVLUX客户端"));
    EXPECT_EQ(scan->scanButtonTitle(), QStringLiteral("扫描服务端设备"));
    EXPECT_EQ(scan->messageText(), QStringLiteral("正在扫描设备请稍后..."));
    EXPECT_FALSE(scan->isScanning());
    EXPECT_FALSE(scan->isScanAnimationVisible());
    EXPECT_EQ(scan->angle(), 0.0f);
    EXPECT_EQ(scan->progress(), 0.0f);
    EXPECT_FALSE(scan->userName().isEmpty());
}

TEST_F(DiscoveryTest, NewServerIsRecordedFromItsAnnouncement)
{
    PopupCenter::shared().showProgress(QStringLiteral("连接中..."));
    Announcement a;
    a.name = QByteArrayLiteral("主机A");
    announce(a, QStringLiteral("127.0.0.9"));

    EXPECT_FALSE(PopupCenter::shared().isProgressVisible());
    const QList<DeviceInfo> rows = db().selectAllUserInfoDatas();
    ASSERT_EQ(rows.size(), 1);
    const DeviceInfo &d = rows.first();
    EXPECT_EQ(d.userName, "Default");
    EXPECT_EQ(d.deviceName, QStringLiteral("主机A"));
    EXPECT_EQ(d.devicePassword, "468");
    EXPECT_EQ(d.deviceWindowHex, "02");
    EXPECT_EQ(d.deviceWindowNum, "2");
    EXPECT_EQ(d.deviceIp, "127.0.0.9"); // the sender, not the address inside
    EXPECT_EQ(d.userId, "0000abcd");
    EXPECT_EQ(d.deviceInfo1, "0");
    EXPECT_EQ(d.deviceInfo2, a.rest());
    EXPECT_TRUE(CommonManager::sharedManager().isUpdateWindow);
    EXPECT_EQ(scan->deviceCount(), 1);
    EXPECT_EQ(scan->messageText(), kCountLine1);
    EXPECT_TRUE(shebeiNotices.isEmpty());
}

TEST_F(DiscoveryTest, KnownServerWithSameWindowCountOnlyRefreshesTheCountLine)
{
    announce(Announcement());
    db().updateDeviceIsLoginByDeviceName(QStringLiteral("Alpha"), QStringLiteral("1"));
    // A second server that reached the table some other way shows in the count.
    db().insertObjectByUserName("Default", "Beta", "1", "01", "1", "127.0.0.3", "0000beef", "0", "01000000", "0");
    CommonManager::sharedManager().isUpdateWindow = false;

    Announcement again;
    again.name = QByteArrayLiteral("Renamed");
    again.password = QByteArrayLiteral("999");
    again.windows = {QStringLiteral("05000000"), QStringLiteral("06000000")};
    announce(again);

    const auto stored = db().selectUserInfoWithDeviceName(QStringLiteral("Alpha"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->devicePassword, "468");
    EXPECT_EQ(stored->deviceInfo1, "1");
    EXPECT_EQ(stored->deviceInfo2, Announcement().rest());
    EXPECT_FALSE(CommonManager::sharedManager().isUpdateWindow);
    EXPECT_TRUE(shebeiNotices.isEmpty());
    EXPECT_EQ(scan->deviceCount(), 2);
    EXPECT_EQ(scan->messageText(), QStringLiteral("已扫描到2台设备，正在继续扫描，请稍候..."));
}

TEST_F(DiscoveryTest, ChangedWindowCountUpdatesTheRecordAndPostsTheNotice)
{
    announce(Announcement());
    db().updateDeviceIsLoginByDeviceName(QStringLiteral("Alpha"), QStringLiteral("1"));
    CommonManager::sharedManager().isUpdateWindow = false;

    Announcement three;
    three.password = QByteArrayLiteral("777");
    three.windows << QStringLiteral("03000000");
    announce(three, QStringLiteral("127.0.0.9"));

    const QList<DeviceInfo> rows = db().selectAllUserInfoDatas();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].deviceWindowHex, "03");
    EXPECT_EQ(rows[0].deviceWindowNum, "3");
    EXPECT_EQ(rows[0].devicePassword, "777");
    EXPECT_EQ(rows[0].deviceInfo1, "0"); // logged out again
    EXPECT_EQ(rows[0].deviceInfo2, three.rest());
    EXPECT_EQ(rows[0].deviceIp, "127.0.0.2"); // an update keeps the address
    EXPECT_TRUE(CommonManager::sharedManager().isUpdateWindow);
    EXPECT_EQ(shebeiNotices, QStringList{three.hex()});
    EXPECT_EQ(scan->messageText(), kCountLine1);
}

TEST_F(DiscoveryTest, UserIdIsKeptForAKnownNameAndAddressAndFreshOtherwise)
{
    Preferences &prefs = ctx().preferences();
    prefs.setString(QStringLiteral("kUserConnectedID_Alpha_127.0.0.2"), QStringLiteral("424242"));
    prefs.setString(QStringLiteral("kUserConnectedID_Alpha_127.0.0.7"), QStringLiteral("0"));

    announce(Announcement(), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(prefs.string(QStringLiteral("kUserConnectedID_Alpha_127.0.0.2")), "424242");

    // Same name from another address, and an id stored as 0: each gets a fresh one.
    Announcement other;
    other.userId = QStringLiteral("00000002");
    announce(other, QStringLiteral("127.0.0.3"));
    Announcement zero;
    zero.userId = QStringLiteral("00000003");
    announce(zero, QStringLiteral("127.0.0.7"));
    for (const QString &host : {QStringLiteral("127.0.0.3"), QStringLiteral("127.0.0.7")}) {
        const QString text = prefs.string(QStringLiteral("kUserConnectedID_Alpha_") + host);
        bool ok = false;
        const int id = text.toInt(&ok);
        EXPECT_TRUE(ok) << host.toStdString();
        EXPECT_GE(id, 100000);
        EXPECT_LE(id, 999999);
        EXPECT_EQ(text, QString::number(id)); // "%d"
    }

    // The list is emptied when the screen appears again; the id stays.
    const QString fresh = prefs.string(QStringLiteral("kUserConnectedID_Alpha_127.0.0.3"));
    nav().push(new KTBaseViewController);
    nav().pop();
    ASSERT_EQ(db().selectAllUserInfoDatas().size(), 0);
    announce(other, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(prefs.string(QStringLiteral("kUserConnectedID_Alpha_127.0.0.3")), fresh);
}

TEST_F(DiscoveryTest, MalformedAnnouncementsStoreNothingAndSendNothing)
{
    selectServer(QStringLiteral("127.0.0.2")); // a login, if built, would be recorded
    const QString good = Announcement().hex();
    Announcement longName;
    longName.name = QByteArray(40, 'n');
    Announcement tooManyWindows;
    tooManyWindows.windowCount = 4; // two records, then address and tail
    Announcement hugeCount;
    hugeCount.windowCount = 255;
    Announcement endsAtCount;
    endsAtCount.windows.clear();
    endsAtCount.addressHex.clear();
    endsAtCount.tail.clear();

    const struct {
        const char *what;
        QString hex;
    } cases[] = {
        {"shorter than 30 characters", good.left(29)},
        {"cut inside the name", longName.hex().left(40)},
        {"cut in the password length", good.left(12 + 8 + 4 + 10 + 2)},
        {"cut inside the password", good.left(12 + 8 + 4 + 10 + 4 + 2)},
        {"ends at the window count", endsAtCount.hex()},
        {"cut inside the window records", good.left(good.size() - 16)},
        {"more windows than records", tooManyWindows.hex()},
        {"window count 255", hugeCount.hex()},
        {"length not hex", QString(good).replace(20, 4, QStringLiteral("00zz"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // Through the router too, when the text is something a datagram can carry.
        if (c.hex.size() % 2 == 0 && !c.hex.contains(QLatin1Char('z')))
            ReplyRouter::shared().route(QByteArray::fromHex(c.hex.toLatin1()), QStringLiteral("127.0.0.2"));
        scan->getInitShebeiInfoWitShebeiHexString(c.hex, QStringLiteral("127.0.0.2"));
        EXPECT_TRUE(db().selectAllUserInfoDatas().isEmpty());
        EXPECT_TRUE(userIdKeys().isEmpty());
        EXPECT_TRUE(m_recorder.frames.isEmpty());
        EXPECT_FALSE(CommonManager::sharedManager().isUpdateWindow);
        EXPECT_EQ(scan->messageText(), QStringLiteral("正在扫描设备请稍后..."));
        m_recorder.frames.clear();
    }
}

TEST_F(DiscoveryTest, PlayStateIsRecordedPerAddressAndWindow)
{
    QStringList notices;
    ctx().notices().subscribe(&observer, QStringLiteral("didReceivePlayListOrderNotice"),
                              [&](const QVariant &o) { notices << o.toString(); });
    auto playState = [](const char *hex) { return QByteArray::fromHex(hex); };

    ReplyRouter::shared().route(playState("414e44025101010005"), QStringLiteral("127.0.0.2"));
    auto row = db().selectDeviceNormalInfoWithDeviceIp(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->playIndex, "5");
    EXPECT_EQ(row->playType, "0");
    EXPECT_EQ(row->playYinliang, "0");
    EXPECT_EQ(row->deviceInfo1, "0");
    EXPECT_EQ(ctx().preferences().string(QStringLiteral("CurrentIP")), "127.0.0.2");
    EXPECT_EQ(notices, QStringList{QStringLiteral("414e44025101010005")});

    ReplyRouter::shared().route(playState("414e4402510101012c"), QStringLiteral("127.0.0.2"));
    row = db().selectDeviceNormalInfoWithDeviceIp(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
    EXPECT_EQ(row->playIndex, "300");
    EXPECT_TRUE(row->playYinliang.isEmpty());
    EXPECT_FALSE(row->playYinliang.isNull()); // the empty text, not NULL

    // A second window of the same address gets a row of its own.
    ReplyRouter::shared().route(playState("414e44025101020001"), QStringLiteral("127.0.0.2"));
    row = db().selectDeviceNormalInfoWithDeviceIp(QStringLiteral("127.0.0.2"), QStringLiteral("02"));
    EXPECT_EQ(row->playIndex, "1");
    EXPECT_EQ(row->playYinliang, "0");

    // Too short to hold window and index: not recorded.
    ReplyRouter::shared().route(playState("414e440251010100"), QStringLiteral("127.0.0.9"));
    EXPECT_EQ(ctx().preferences().string(QStringLiteral("CurrentIP")), "127.0.0.2");
    EXPECT_FALSE(db().selectDeviceNormalInfoisExistWithDeviceIp(QStringLiteral("127.0.0.9")));
}

TEST_F(DiscoveryTest, ScanEndsOnThe125thTickAndTheAngleWrapsOnThe41st)
{
    scan->scanButtonAction();
    EXPECT_TRUE(scan->isScanning());
    EXPECT_TRUE(scan->isScanAnimationVisible());
    EXPECT_EQ(scan->scanButtonTitle(), QStringLiteral("停止扫描"));

    clock().advance(40 * ScanDeviceViewController::kTickMs);
    EXPECT_NEAR(scan->angle(), 6.2831855, 1e-5);
    clock().advance(ScanDeviceViewController::kTickMs);
    EXPECT_EQ(scan->angle(), 0.0f);

    clock().advance(83 * ScanDeviceViewController::kTickMs); // tick 124
    EXPECT_TRUE(scan->isScanning());
    EXPECT_LT(scan->progress(), 1.0f);
    clock().advance(ScanDeviceViewController::kTickMs); // tick 125
    EXPECT_FALSE(scan->isScanning());
    EXPECT_GE(scan->progress(), 1.0f);
    EXPECT_EQ(scan->scanButtonTitle(), QStringLiteral("扫描服务端设备"));
    EXPECT_FALSE(scan->isScanAnimationVisible());

    // The timer is gone; with nothing recorded the screen stays.
    const float progress = scan->progress();
    clock().advance(1000);
    EXPECT_EQ(scan->progress(), progress);
    EXPECT_EQ(nav().count(), 1);
    EXPECT_EQ(scan->slider(), nullptr);
}

TEST_F(DiscoveryTest, ScanButtonStopsARunningScanAndANewScanStartsFromZero)
{
    scan->scanButtonAction();
    clock().advance(10 * ScanDeviceViewController::kTickMs);
    scan->scanButtonAction();
    EXPECT_FALSE(scan->isScanning());
    const float stoppedAt = scan->progress();
    clock().advance(2000);
    EXPECT_EQ(scan->progress(), stoppedAt);

    scan->scanButtonAction();
    EXPECT_EQ(scan->progress(), 0.0f);
    EXPECT_EQ(scan->angle(), 0.0f);
    clock().advance(124 * ScanDeviceViewController::kTickMs);
    EXPECT_TRUE(scan->isScanning()); // the earlier ticks do not count
}

TEST_F(DiscoveryTest, ScanWithAServerOpensTheContainer)
{
    announce(Announcement());
    scan->scanButtonAction();
    clock().advance(10000);

    ASSERT_EQ(nav().count(), 2);
    auto *slider = qobject_cast<SLideZoomMenuController *>(nav().top());
    ASSERT_TRUE(slider);
    EXPECT_EQ(scan->slider(), slider);
    EXPECT_TRUE(nav().isNavigationBarHidden());
    auto *home = qobject_cast<HomeViewController *>(slider->rootViewController()->root());
    ASSERT_TRUE(home);
    ASSERT_EQ(home->devices().size(), 1);
    EXPECT_EQ(home->devices().first().userId, "0000abcd");
    auto *menu = qobject_cast<SystemViewController *>(slider->leftViewController());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->viewController(), scan);
    // The list appeared and selected its first server.
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.2");
}

TEST_F(DiscoveryTest, AppearingAgainEmptiesTheStoredListsAndShowsTheBar)
{
    announce(Announcement());
    ReplyRouter::shared().route(QByteArray::fromHex("414e44025101010005"), QStringLiteral("127.0.0.2"));
    nav().push(new KTBaseViewController);
    nav().setNavigationBarHidden(true);
    ASSERT_EQ(db().selectAllUserInfoDatas().size(), 1);

    ctx().notices().post(QStringLiteral("didReceiveIPChangedNotificaition"));

    EXPECT_EQ(nav().top(), scan);
    EXPECT_FALSE(nav().isNavigationBarHidden());
    EXPECT_TRUE(db().selectAllUserInfoDatas().isEmpty());
    EXPECT_FALSE(db().selectDeviceNormalInfoisExistWithDeviceIp(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(scan->deviceCount(), 0);
    EXPECT_EQ(scan->messageText(), QStringLiteral("正在扫描设备请稍后..."));
}

} // namespace

namespace {

QStringList rowsOf(const QList<DeviceInfo> &list)
{
    QStringList out;
    for (const DeviceInfo &d : list)
        out << QStringList{d.userName, d.deviceName, d.devicePassword, d.deviceWindowHex, d.deviceWindowNum,
                           d.deviceIp, d.userId, d.deviceInfo1, d.deviceInfo2}
                   .join(QLatin1Char('|'));
    return out;
}

TEST_F(DiscoveryTest, TheListFollowsTheTableWithoutAReloadPerAnnouncement)
{
    int reloads = 0;
    QObject::connect(scan, &ScanDeviceViewController::dataSourceChanged, &observer, [&] { ++reloads; });
    Announcement alpha, beta;
    beta.userId = QStringLiteral("0000beef");
    beta.name = QByteArrayLiteral("Beta");
    announce(alpha);
    announce(beta, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(reloads, 2);
    EXPECT_EQ(rowsOf(scan->dataSource()), rowsOf(db().selectAllUserInfoDatas()));

    // Servers announce themselves every few seconds: the list stays as it is.
    for (int i = 0; i < 50; ++i) {
        announce(alpha);
        announce(beta, QStringLiteral("127.0.0.3"));
    }
    EXPECT_EQ(reloads, 2);
    EXPECT_EQ(scan->messageText(), QStringLiteral("已扫描到2台设备，正在继续扫描，请稍候..."));

    // A changed server changes its row where it is.
    Announcement three = alpha;
    three.windows << QStringLiteral("03000000");
    announce(three);
    EXPECT_EQ(reloads, 3);
    ASSERT_EQ(scan->deviceCount(), 2);
    EXPECT_EQ(scan->dataSource().first().deviceWindowNum, "3");
    EXPECT_EQ(rowsOf(scan->dataSource()), rowsOf(db().selectAllUserInfoDatas()));

    // A change the list did not make (a login) shows with the next announcement.
    db().updateDeviceIsLoginByDeviceName(QStringLiteral("Beta"), QStringLiteral("1"));
    announce(beta, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(scan->dataSource().last().deviceInfo1, "1");
    EXPECT_EQ(rowsOf(scan->dataSource()), rowsOf(db().selectAllUserInfoDatas()));
}

} // namespace
