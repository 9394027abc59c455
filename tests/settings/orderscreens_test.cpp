#include "core/deviceclock.h"
#include "protocol/settingscommands.h"
#include "screens/settings/restartviewcontroller.h"
#include "screens/settings/timecorrectionviewcontroller.h"
#include "session/commonmanager.h"
#include "settingsfixture.h"
#include "ui/screenregistry.h"

#include <QDateTime>

namespace {

const QString kTimeFrame = "414e44015a01" "000001507f1cb800" "000d" "417369612f5368616e67686169";

class OrderScreensTest : public SettingsScreenTest
{
protected:
    void SetUp() override
    {
        SettingsScreenTest::SetUp();
        DeviceClock &clock = ctx().shared<DeviceClock>();
        clock.msSinceEpoch = [] { return QDateTime(QDate(2015, 10, 19), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch(); };
        clock.zoneId = [] { return QByteArray("Asia/Shanghai"); };
    }

    // The restart and time-correction screens, opened the way the menu does.
    struct Kind
    {
        const char *className;
        const char *title;
        QString frame;
        quint16 port;
    };
    static QList<Kind> kinds()
    {
        return {{"RestartViewController", "即时重启", "414e44015506", 5760},
                {"TimeCorrectionViewController", "时间校正", kTimeFrame, 5762}};
    }
    ServerOrderViewController *openByName(const char *className)
    {
        auto *screen = qobject_cast<ServerOrderViewController *>(ScreenRegistry::create(QLatin1String(className)));
        EXPECT_NE(screen, nullptr);
        if (!m_nav)
            m_nav = std::make_unique<KTBaseNavigationController>(new KTBaseViewController);
        EXPECT_TRUE(m_nav->push(screen));
        return screen;
    }
};

TEST_F(OrderScreensTest, DoneSendsTheOrderAtOnceToTheSelectedServer)
{
    for (const Kind &k : kinds()) {
        SCOPED_TRACE(k.className);
        popups().clearHistory();
        ServerOrderViewController *screen = openByName(k.className);
        EXPECT_EQ(screen->title(), QString::fromUtf8(k.title));
        EXPECT_EQ(screen->rightBarButtonTitle(), "完成");
        EXPECT_EQ(screen->shebeiField()->text(), "一号服务器");
        EXPECT_TRUE(sent().isEmpty()) << "opening sends nothing";

        screen->clickedBarButtonItemAction();
        ASSERT_EQ(m_recorder.frames.size(), 1);
        EXPECT_EQ(m_recorder.frames[0].hex, k.frame);
        EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.2");
        EXPECT_EQ(m_recorder.frames[0].port, k.port);
        EXPECT_EQ(popups().texts(PopupCenter::Success), QStringList{"设置成功"});
        m_recorder.frames.clear();
    }
}

TEST_F(OrderScreensTest, ChoosingAServerSendsNothingAndRedirectsTheOrder)
{
    for (const Kind &k : kinds()) {
        SCOPED_TRACE(k.className);
        selectServer("127.0.0.2");
        ServerOrderViewController *screen = openByName(k.className);
        choose(screen->shebeiField(), 1);
        EXPECT_EQ(screen->shebeiField()->text(), "二号服务器");
        EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.deviceIp, "127.0.0.3");
        EXPECT_TRUE(sent().isEmpty());

        screen->doneAction();
        ASSERT_EQ(m_recorder.frames.size(), 1);
        EXPECT_EQ(m_recorder.frames[0].host, "127.0.0.3");
        m_recorder.frames.clear();
    }
}

TEST_F(OrderScreensTest, WithoutServersTheFieldStaysEmptyAndNothingIsSent)
{
    ASSERT_TRUE(FMManager::sharedManagerInstance().DeleteUserInfo());
    CommonManager::sharedManager().currentSelectDev = DeviceInfo();
    for (const Kind &k : kinds()) {
        SCOPED_TRACE(k.className);
        popups().clearHistory();
        ServerOrderViewController *screen = openByName(k.className);
        EXPECT_TRUE(screen->shebeiField()->text().isEmpty());
        choose(screen->shebeiField(), 0);
        EXPECT_TRUE(CommonManager::sharedManager().currentSelectDev.isEmpty());

        EXPECT_FALSE(screen->doneAction());
        EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{"请选择需要设定的设备"});
        EXPECT_TRUE(popups().texts(PopupCenter::Success).isEmpty());
    }
    EXPECT_TRUE(sent().isEmpty());
}

} // namespace
