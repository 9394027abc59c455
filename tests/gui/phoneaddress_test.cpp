// The own address from the discovery screen, before any server is known:
// the bar button opens the page, an address typed there is saved and used,
// a wrong one is refused, and the automatic choice comes back.
#include "gui/guifixture.h"
#include "ui/popupcenter.h"

#include <QSettings>

namespace {

class PhoneAddressPageTest : public GuiTest
{
protected:
    void configure(ContextConfig &c) override
    {
        GuiTest::configure(c);
        c.phoneAddress.clear(); // --phone-address would win over the setting
    }
    void SetUp() override
    {
        GuiTest::SetUp();
        // A machine whose one network is known to the test: the automatic
        // choice is its address.
        AppDelegate &delegate = AppDelegate::shareAppDelegate();
        delegate.setInterfaceProvider([this] {
            return QList<InterfaceAddress>{{QStringLiteral("eth0"), true, false, false, kAutomatic, 8}};
        });
        delegate.setRouteProvider([](const QString &) { return QString(); });
        delegate.networkChanged();
        ASSERT_EQ(session().currentPhoneIp(), kAutomatic);
    }
    CommonManager &session() { return CommonManager::sharedManager(); }
    QString front() const { return QmlShell::frontScreen()->pageName(); }
    QString stored()
    {
        ctx().preferences().sync();
        return QSettings(ctx().preferences().fileName(), QSettings::IniFormat)
            .value(QLatin1String(AppDelegate::kPhoneAddressKey))
            .toString();
    }
    void openPage()
    {
        ASSERT_TRUE(app().clickText(QStringLiteral("本机地址")));
        ASSERT_TRUE(app().waitFor([&] { return front() == QLatin1String("PhoneAddressViewController"); }));
        app().settle();
    }

    const QString kAutomatic = QStringLiteral("127.0.0.3");
};

TEST_F(PhoneAddressPageTest, AnAddressTypedOnThePageIsSavedAndUsedUntilAutomaticIsChosenAgain)
{
    openPage();
    QQuickItem *current = app().find(QStringLiteral("currentAddress"));
    ASSERT_TRUE(current);
    EXPECT_EQ(current->property("text").toString(), kAutomatic);
    QQuickItem *field = app().find(QStringLiteral("addressField"));
    ASSERT_TRUE(field);

    // Not an address: Enter in the field says so and keeps the page.
    ASSERT_TRUE(app().click(field));
    app().type(QStringLiteral("127.0.0"));
    app().key(Qt::Key_Return);
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Error, QStringLiteral("请输入正确的IP地址")));
    EXPECT_EQ(front(), QLatin1String("PhoneAddressViewController"));
    EXPECT_EQ(session().currentPhoneIp(), kAutomatic);
    EXPECT_TRUE(stored().isEmpty());

    // An address: "完成" saves it and the client uses it, which (as any
    // change of the address) brings the user back to discovery.
    app().type(QStringLiteral(".5"));
    ASSERT_TRUE(app().clickText(QStringLiteral("完成")));
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Success, QStringLiteral("设置成功")));
    EXPECT_EQ(stored(), "127.0.0.5");
    EXPECT_EQ(session().currentPhoneIp(), "127.0.0.5");
    EXPECT_TRUE(app().waitFor([&] { return front() == QLatin1String("ScanDeviceViewController"); }));

    // The page again: it shows the setting; the button gives the choice back.
    app().settle();
    openPage();
    EXPECT_EQ(app().find(QStringLiteral("addressField"))->property("text").toString(), "127.0.0.5");
    EXPECT_EQ(app().find(QStringLiteral("currentAddress"))->property("text").toString(), "127.0.0.5");
    ASSERT_TRUE(app().clickText(QStringLiteral("恢复自动选择")));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(session().currentPhoneIp(), kAutomatic);
    EXPECT_TRUE(app().waitFor([&] { return front() == QLatin1String("ScanDeviceViewController"); }));
}

TEST_F(PhoneAddressPageTest, OpeningThePageStopsARunningScan)
{
    m_scan->scanButtonAction();
    ASSERT_TRUE(m_scan->isScanning());
    // A server is found meanwhile: the end of the scan would open its list.
    m_sim->announceNow();
    ASSERT_TRUE(waitUntil([&] { return m_scan->deviceCount() > 0; }));
    openPage();
    EXPECT_FALSE(m_scan->isScanning());
    // The scan's time passes under the page: nothing is opened over it.
    clock().advance(15000);
    app().settle();
    EXPECT_EQ(front(), QLatin1String("PhoneAddressViewController"));
}

} // namespace
