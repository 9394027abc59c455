#include "screens/discovery/homeviewcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/shell/functionviewcontroller.h"
#include "screens/shell/screenopener.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "screens/shell/softinfoviewcontroller.h"
#include "screens/shell/systemviewcontroller.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/alertcenter.h"
#include "ui/popupcenter.h"
#include "ui/screenregistry.h"
#include "ui/uikit.h"
#include "ui/uilanguage.h"

#include <QCoreApplication>

namespace {

QStringList titles(const QVariantList &buttons)
{
    QStringList out;
    for (int i = 0; i < buttons.size(); ++i) {
        const QVariantMap b = buttons.at(i).toMap();
        EXPECT_EQ(b.value("tag").toInt(), i);
        out << b.value("title").toString();
    }
    return out;
}

// The container as a finished scan leaves it: discovery at the bottom of the
// root stack, the container above it around the server list and the menu.
class ShellTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        scan = new ScanDeviceViewController;
        nav().push(scan);
        FMManager::sharedManagerInstance().insertObjectByUserName("Default", "Alpha", "1", "01", "1", "127.0.0.2",
                                                                 "0000abcd", "1", "0100000000", "0");
        home = new HomeViewController(FMManager::sharedManagerInstance().selectAllUserInfoDatas());
        menu = new SystemViewController;
        menu->setViewController(scan);
        inner = new KTBaseNavigationController(home);
        slider = new SLideZoomMenuController(inner);
        slider->setLeftViewController(menu);
        nav().push(slider);
    }
    KTBaseNavigationController &nav() { return UiKit::shared().navigation(); }

    ScanDeviceViewController *scan = nullptr;
    HomeViewController *home = nullptr;
    SystemViewController *menu = nullptr;
    KTBaseNavigationController *inner = nullptr;
    SLideZoomMenuController *slider = nullptr;
};

TEST_F(ShellTest, FunctionMenuOpensItsTargetsOnItsOwnStack)
{
    auto *functions = new FunctionViewController;
    inner->push(functions);
    EXPECT_EQ(functions->title(), QStringLiteral("QEVA服务端窗口"));
    EXPECT_EQ(titles(functions->buttons()),
              (QStringList{QStringLiteral("视频文件传输"), QStringLiteral("视频播放控制"), QStringLiteral("视频窗体设定"),
                           QStringLiteral("定时播放设定"), QStringLiteral("动画互动发送")}));

    const char *targets[] = {"PlayFilesViewController", "PlayControlViewController", "PlayWindowSetViewController",
                             "AddTimePlayViewController", "AnimationViewController"};
    for (int tag = 0; tag < 5; ++tag) {
        SCOPED_TRACE(targets[tag]);
        functions->buttonActionTouch(tag);
        ASSERT_EQ(inner->count(), 3);
        EXPECT_EQ(inner->top()->pageName(), QLatin1String(targets[tag]));
        EXPECT_EQ(nav().top(), slider);
        inner->popTo(functions);
    }
    functions->buttonActionTouch(5);
    functions->buttonActionTouch(-1);
    EXPECT_EQ(inner->top(), functions);
}

TEST_F(ShellTest, SettingsMenuOpensItsTargetsOverTheWholeContainer)
{
    EXPECT_EQ(menu->title(), QStringLiteral("系统设置"));
    EXPECT_EQ(titles(menu->buttons()),
              (QStringList{QStringLiteral("系统设置"), QStringLiteral("即时重启"), QStringLiteral("窗口设置"),
                           QStringLiteral("插播文字"), QStringLiteral("时钟设置"), QStringLiteral("时间校正"),
                           QStringLiteral("语言版本"), QStringLiteral("软件信息"), QString()}));

    const std::pair<int, const char *> targets[] = {
        {0, "SystemSetViewController"},   {1, "RestartViewController"},
        {2, "WindowSetViewController"},   {3, "SpotWordsViewController"},
        {4, "ClockSetViewController"},    {5, "TimeCorrectionViewController"},
        {7, "SoftInfoViewController"},
    };
    for (const auto &[tag, target] : targets) {
        SCOPED_TRACE(target);
        menu->systemButtonAction(tag);
        ASSERT_EQ(nav().count(), 3);
        EXPECT_EQ(nav().top()->pageName(), QLatin1String(target));
        EXPECT_FALSE(nav().isNavigationBarHidden());
        EXPECT_EQ(inner->count(), 1);
        nav().popTo(slider);
        EXPECT_TRUE(nav().isNavigationBarHidden());
    }
}

TEST_F(ShellTest, LanguageEntryAsksForALanguageAndOpensNothing)
{
    slider->showLeft();
    const int popups = int(PopupCenter::shared().history().size());
    menu->systemButtonAction(6);
    EXPECT_EQ(nav().count(), 2);
    EXPECT_EQ(inner->count(), 1);
    EXPECT_TRUE(slider->isShow());
    EXPECT_EQ(PopupCenter::shared().history().size(), popups);
    AlertCenter &alerts = AlertCenter::shared();
    ASSERT_TRUE(alerts.hasPending());
    EXPECT_EQ(alerts.style(), AlertCenter::ActionSheet);
    EXPECT_EQ(alerts.buttons(), (QStringList{"✓ 跟随系统", "中文", "英文 (English)", "取消"}));
    // Cancelled: nothing is chosen or stored.
    EXPECT_TRUE(alerts.cancel());
    EXPECT_FALSE(ctx().preferences().contains(QLatin1String(UiLanguage::kPreferenceKey)));
}

// Menus name their targets by type: a target that does not exist does not
// compile. What is left to check at run time is the stack to open it on.
TEST_F(ShellTest, NothingOpensWithoutANavigation)
{
    EXPECT_EQ(ScreenOpener::push(nullptr, &ScreenOpener::make<SoftInfoViewController>), nullptr);
    EXPECT_EQ(nav().count(), 2);
    EXPECT_TRUE(ctx().log().contains(QStringLiteral("no navigation to open a screen on")));
}

TEST_F(ShellTest, MenuToggleDisablesTheServerListBackButtonWhileOpen)
{
    EXPECT_EQ(slider->animationDuration(), 0.35);
    EXPECT_FALSE(slider->isShow());
    EXPECT_TRUE(home->hasBackButton());
    EXPECT_TRUE(home->isBackButtonEnabled());
    EXPECT_TRUE(home->hasRightBarButton());

    home->clickedBarButtonItemAction(); // the menu button
    EXPECT_TRUE(slider->isShow());
    EXPECT_TRUE(slider->isTapEnabled());
    EXPECT_FALSE(home->isBackButtonEnabled());
    home->backButtonTapped();
    EXPECT_EQ(nav().top(), slider); // disabled: nothing happens

    slider->showLeft();
    EXPECT_FALSE(slider->isShow());
    EXPECT_FALSE(slider->isTapEnabled());
    EXPECT_TRUE(home->isBackButtonEnabled());
}

TEST_F(ShellTest, TapNoticeAndSwipesCloseOnlyWhatIsOpen)
{
    // Tag 8 posts the notice; closed stays closed.
    menu->systemButtonAction(8);
    EXPECT_FALSE(slider->isShow());
    slider->handleTap();
    EXPECT_FALSE(slider->isShow());

    slider->showLeft();
    menu->systemButtonAction(8);
    EXPECT_FALSE(slider->isShow());
    slider->showLeft();
    slider->handleTap();
    EXPECT_FALSE(slider->isShow());

    const struct {
        bool open;
        qreal dx;
        bool openAfter;
    } swipes[] = {
        {false, 60, true}, {false, 59, false}, {false, -200, false},
        {true, -60, false}, {true, -59, true}, {true, 200, true},
    };
    for (const auto &s : swipes) {
        SCOPED_TRACE(s.dx);
        if (slider->isShow() != s.open)
            slider->showLeft();
        slider->handlePan(s.dx);
        EXPECT_EQ(slider->isShow(), s.openAfter);
        EXPECT_EQ(home->isBackButtonEnabled(), !s.openAfter);
    }
}

TEST_F(ShellTest, ServerListBackButtonReturnsToDiscoveryWhichEmptiesTheList)
{
    QPointer<SLideZoomMenuController> watch(slider);
    home->backButtonTapped();
    EXPECT_EQ(nav().top(), scan);
    EXPECT_EQ(nav().count(), 1);
    EXPECT_FALSE(nav().isNavigationBarHidden());
    EXPECT_TRUE(FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    // The gone container hears no more notices.
    ctx().notices().post(QStringLiteral("didTagActionBackNotice"));
}

TEST_F(ShellTest, ContainerHidesTheBarEachTimeItComesIntoView)
{
    EXPECT_TRUE(nav().isNavigationBarHidden());
    nav().setNavigationBarHidden(false);
    nav().push(new KTBaseViewController);
    nav().pop();
    EXPECT_TRUE(nav().isNavigationBarHidden());
}

TEST_F(ShellTest, InformationScreenTexts)
{
    std::unique_ptr<KTBaseViewController> screen(ScreenRegistry::create(QStringLiteral("SoftInfoViewController")));
    auto *info = qobject_cast<SoftInfoViewController *>(screen.get());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->title(), QStringLiteral("软件信息"));
    EXPECT_EQ(info->versionText(), QStringLiteral("QEVA视频手机客户端 Version 2.2.6"));
    EXPECT_EQ(info->introText(),
              QStringLiteral("      本产品是一款配套QEVA视频播放软件的视频手机客户端，可进行与播放器的视频传输，视频操作，"
                             "插播文字，界面维护等操作。"));
}

} // namespace

