// The app in English: under an English locale from the start, and switched
// at run time from the settings menu's "语言版本", every text on screen
// (the pages' own and what the screens hold) changing at once.
#include "gui/guifixture.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "ui/alertcenter.h"
#include "ui/popupcenter.h"
#include "ui/uilanguage.h"

#include <QSettings>

namespace {

class LanguageTest : public GuiTest
{
protected:
    void TearDown() override
    {
        GuiTest::TearDown();
        QLocale::setDefault(m_locale);
    }
    void launching() override
    {
        QLocale::setDefault(m_startLocale);
        UiLanguage::shared().apply(); // as the app does before its first screen
    }
    QString storedChoice()
    {
        return QSettings(ctx().preferences().fileName(), QSettings::IniFormat)
            .value(QLatin1String(UiLanguage::kPreferenceKey))
            .toString();
    }
    bool shows(const QString &text)
    {
        return app().waitFor([&] { return app().findText(text) != nullptr; });
    }

    const QLocale m_locale;
    QLocale m_startLocale = QLocale(QLocale::Chinese, QLocale::China);
};

class EnglishLocaleTest : public LanguageTest
{
protected:
    EnglishLocaleTest() { m_startLocale = QLocale(QLocale::English, QLocale::UnitedStates); }
};

TEST_F(EnglishLocaleTest, PagesAndAlertsAreInEnglish)
{
    // The discovery screen: its title, its bar button, its scan button.
    EXPECT_TRUE(shows(QStringLiteral("QEVLUX Client")));
    EXPECT_TRUE(shows(QStringLiteral("My address")));
    EXPECT_TRUE(shows(QStringLiteral("Scan for servers")));
    EXPECT_FALSE(app().findText(QStringLiteral("扫描服务端设备")));

    // A working screen and the question it asks.
    playlists().addFile(1, QStringLiteral("/media/opening.mp4"));
    chooseServer();
    auto *screen = push(new PlayControlViewController);
    ASSERT_TRUE(waitUntil([&] { return screen->rows().size() == 1; }));
    clock().advance(PopupCenter::kProgressTimeoutMs);
    EXPECT_TRUE(shows(QStringLiteral("Play control")));
    ASSERT_TRUE(app().clickText(QStringLiteral("›"))); // the second row of buttons
    ASSERT_TRUE(app().clickText(QStringLiteral("Clear")));
    ASSERT_TRUE(app().waitFor([] { return AlertCenter::shared().hasPending(); }));
    EXPECT_TRUE(shows(QStringLiteral("Notice")));
    EXPECT_TRUE(shows(QStringLiteral("Remove every file from the list?")));
    ASSERT_TRUE(app().clickText(QStringLiteral("Cancel")));
    EXPECT_TRUE(app().waitFor([] { return !AlertCenter::shared().hasPending(); }));
    EXPECT_EQ(screen->rows().size(), 1);
}

TEST_F(LanguageTest, TheSettingsMenuSwitchesEveryTextAtOnceAndKeepsTheChoice)
{
    // In as a user comes: a scan, the server unlocked, its windows listed.
    ASSERT_TRUE(app().clickText(QStringLiteral("扫描服务端设备")));
    m_sim->announceNow();
    ASSERT_TRUE(waitUntil([&] { return m_scan->deviceCount() == 1; }));
    clock().advance(10000);
    ASSERT_TRUE(app().clickText(QStringLiteral("演示服务器")));
    ASSERT_TRUE(app().clickText(QStringLiteral("确定"))); // the password prompt, filled in
    ASSERT_TRUE(shows(QStringLiteral("视频窗口_01")));

    struct Step
    {
        const char *menuEntry; // "语言版本" as it reads now
        const char *ticked;    // the choice in use, as the sheet shows it
        const char *choice;
        const char *stored;
        const char *scanButton; // of the discovery screen, under it all
        const char *windowTitle; // a text of the QML itself
        QStringList menu, page; // what the menu and then the server list show
    };
    const Step steps[] = {
        {"语言版本", "✓ 跟随系统", "英文 (English)", "en", "Scan for servers", "QEVLUX Client", {"Language", "System settings", "About"},
         {"QEVLUX Client", "These servers were found. Tap one to log in.", "Video window 01", "Video window 02"}},
        {"Language", "✓ English", "中文 (Chinese)", "zh_CN", "扫描服务端设备", "QEVLUX客户端", {"语言版本", "系统设置", "软件信息"},
         {"QEVLUX客户端", "已扫描出如下设备,请点击登陆", "视频窗口_01", "视频窗口_02"}},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.choice);
        ASSERT_TRUE(app().clickText(QStringLiteral("☰")));
        app().settle(); // the menu slides out
        ASSERT_TRUE(app().clickText(QString::fromUtf8(s.menuEntry)));
        ASSERT_TRUE(shows(QString::fromUtf8(s.ticked)));
        ASSERT_TRUE(app().clickText(QString::fromUtf8(s.choice)));
        EXPECT_TRUE(app().waitFor([] { return !AlertCenter::shared().hasPending(); }));
        EXPECT_EQ(storedChoice(), QLatin1String(s.stored));
        for (const QString &text : s.menu)
            EXPECT_TRUE(shows(text)) << text.toStdString();
        app().key(Qt::Key_Escape); // the menu closes
        for (const QString &text : s.page)
            EXPECT_TRUE(shows(text)) << text.toStdString();
        EXPECT_EQ(m_scan->scanButtonTitle(), QString::fromUtf8(s.scanButton));
        EXPECT_EQ(app().window()->title(), QString::fromUtf8(s.windowTitle));
    }
}

} // namespace
