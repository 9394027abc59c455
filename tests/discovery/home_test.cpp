#include "screens/discovery/homeviewcontroller.h"
#include "screens/shell/functionviewcontroller.h"
#include "session/commonmanager.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

namespace {

class HomeTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        db().insertObjectByUserName("Default", "Alpha", "1234", "02", "2", "127.0.0.2", "0000abcd", "0",
                                    "0100000002010000" "7f00000201", "0");
        db().insertObjectByUserName("Default", "Beta", "", "01", "1", "127.0.0.3", "0000beef", "0",
                                    "0700000000" "7f000003", "0");
        home = new HomeViewController(db().selectAllUserInfoDatas());
        nav = std::make_unique<KTBaseNavigationController>(home);
    }
    void TearDown() override
    {
        nav.reset(); // the screens go while their context lives
        ContextTest::TearDown();
    }
    FMManager &db() { return FMManager::sharedManagerInstance(); }
    QString loginState(const QString &name) { return db().selectUserInfoWithDeviceName(name)->deviceInfo1; }
    QVariantMap section(int s) { return home->dataSource().at(s).toMap(); }

    HomeViewController *home = nullptr;
    std::unique_ptr<KTBaseNavigationController> nav;
};

TEST_F(HomeTest, ShowsOneClosedSectionPerServer)
{
    EXPECT_EQ(home->title(), QStringLiteral("QEVLUX客户端"));
    EXPECT_EQ(home->messageText(), QStringLiteral("已扫描出如下设备,请点击登陆"));
    ASSERT_EQ(home->dataSource().size(), 2);
    EXPECT_EQ(section(0).value("deviceName").toString(), "Alpha");
    EXPECT_EQ(section(1).value("deviceName").toString(), "Beta");
    EXPECT_FALSE(section(0).value("open").toBool());
    EXPECT_TRUE(section(0).value("rows").toStringList().isEmpty());
    // Appearing selects the first server.
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.userId, "0000abcd");
}

TEST_F(HomeTest, PasswordPromptIsPrefilledFromTheLastGoodPassword)
{
    const struct {
        const char *what;
        std::optional<QString> stored;
        QString shown;
    } cases[] = {
        {"missing", std::nullopt, QStringLiteral("468")},
        {"empty", QString(QLatin1String("")), QStringLiteral("468")},
        {"stored", QStringLiteral("777"), QStringLiteral("777")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.stored)
            ctx().preferences().setString(QStringLiteral("ThelastPswwaord"), *c.stored);
        home->tapAction(0);
        EXPECT_TRUE(home->isPasswordPromptVisible());
        EXPECT_EQ(home->passwordText(), c.shown);
        EXPECT_FALSE(home->showPassword());
        home->didSelectedCheckBox(true);
        EXPECT_TRUE(home->showPassword());
        home->setPasswordText(QStringLiteral("wrong"));
        home->passwordCheck();
    }
    EXPECT_EQ(home->passwordPromptTitle(), QStringLiteral("密码验证"));
    EXPECT_EQ(home->showPasswordText(), QStringLiteral("显示密码"));
    EXPECT_EQ(home->confirmText(), QStringLiteral("确定"));
}

TEST_F(HomeTest, WrongPasswordLogsOutAndSaysSo)
{
    home->tapAction(0);
    db().updateDeviceIsLoginByDeviceName(QStringLiteral("Alpha"), QStringLiteral("1"));
    home->setPasswordText(QStringLiteral("12345")); // character for character
    home->passwordCheck();

    EXPECT_FALSE(home->isPasswordPromptVisible());
    EXPECT_TRUE(PopupCenter::shared().wasShown(PopupCenter::Error, QStringLiteral("密码不正确")));
    EXPECT_EQ(loginState(QStringLiteral("Alpha")), "0");
    EXPECT_FALSE(section(0).value("open").toBool());
    EXPECT_FALSE(ctx().preferences().contains(QStringLiteral("ThelastPswwaord")));

    // Confirming again without a prompt changes nothing.
    home->setPasswordText(QStringLiteral("1234"));
    home->passwordCheck();
    EXPECT_EQ(loginState(QStringLiteral("Alpha")), "0");
}

TEST_F(HomeTest, RightPasswordLogsInOpensTheSectionAndIsRemembered)
{
    home->tapAction(0);
    home->setPasswordText(QStringLiteral("1234"));
    home->passwordCheck();

    EXPECT_FALSE(home->isPasswordPromptVisible());
    EXPECT_EQ(loginState(QStringLiteral("Alpha")), "1");
    EXPECT_EQ(loginState(QStringLiteral("Beta")), "0");
    EXPECT_EQ(ctx().preferences().string(QStringLiteral("ThelastPswwaord")), "1234");
    EXPECT_TRUE(section(0).value("loggedIn").toBool());
    EXPECT_TRUE(section(0).value("open").toBool());
    EXPECT_EQ(section(0).value("rows").toStringList(),
              (QStringList{QStringLiteral("视频窗口_01"), QStringLiteral("视频窗口_02")}));
    EXPECT_FALSE(PopupCenter::shared().isVisible());

    // An empty announced password takes the empty text.
    home->tapAction(1);
    home->setPasswordText(QString());
    home->passwordCheck();
    EXPECT_EQ(loginState(QStringLiteral("Beta")), "1");
    EXPECT_EQ(section(1).value("rows").toStringList(), QStringList{QStringLiteral("视频窗口_07")});
}

TEST_F(HomeTest, LoggedInHeaderOnlyTogglesItsRows)
{
    home->tapAction(0);
    home->setPasswordText(QStringLiteral("1234"));
    home->passwordCheck();

    home->tapAction(0);
    EXPECT_FALSE(home->isPasswordPromptVisible());
    EXPECT_FALSE(section(0).value("open").toBool());
    home->tapAction(0);
    EXPECT_FALSE(home->isPasswordPromptVisible());
    EXPECT_TRUE(section(0).value("open").toBool());
    EXPECT_EQ(home->treeOpenArray(), QStringList{QStringLiteral("0")});
}

TEST_F(HomeTest, ChoosingAWindowSelectsItAndOpensTheFunctionMenu)
{
    home->didSelectRowAtIndexPath(0, 1); // closed section: no rows to choose
    EXPECT_EQ(nav->count(), 1);

    home->tapAction(1);
    home->setPasswordText(QString());
    home->passwordCheck();
    home->didSelectRowAtIndexPath(1, 1); // past its one row
    EXPECT_EQ(nav->count(), 1);

    home->didSelectRowAtIndexPath(1, 0);
    CommonManager &session = CommonManager::sharedManager();
    EXPECT_EQ(session.currentSelectDev.deviceIp, "127.0.0.3");
    EXPECT_EQ(session.currentSelectDev.userId, "0000beef");
    EXPECT_EQ(session.currentWindowID, "07");
    ASSERT_EQ(nav->count(), 2);
    EXPECT_TRUE(qobject_cast<FunctionViewController *>(nav->top()));
}

TEST_F(HomeTest, ChangedServersAreReloadedWhenTheListAppears)
{
    db().updateDeviceIsLoginByDeviceName(QStringLiteral("Beta"), QStringLiteral("1"));
    db().DeleteUserInfo();
    db().insertObjectByUserName("Default", "Gamma", "1", "01", "1", "127.0.0.4", "00000004", "0", "0300000000", "0");
    nav->push(new KTBaseViewController);

    nav->pop(); // no change flagged: the list stays as it was
    EXPECT_EQ(home->devices().size(), 2);

    CommonManager::sharedManager().isUpdateWindow = true;
    nav->push(new KTBaseViewController);
    nav->pop();
    EXPECT_FALSE(CommonManager::sharedManager().isUpdateWindow);
    ASSERT_EQ(home->devices().size(), 1);
    EXPECT_EQ(section(0).value("deviceName").toString(), "Gamma");
    EXPECT_EQ(CommonManager::sharedManager().currentSelectDev.userId, "00000004");
}

} // namespace
