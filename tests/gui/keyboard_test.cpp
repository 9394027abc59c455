// The keyboard and the mouse as a desktop user has them: Tab goes only to
// what is in view, the focus shows, Enter and Space press, Esc, Alt+Left
// and Backspace close or go back, modal panels hold everything behind
// them, title bar included, and the wheel pickers follow the wheel, clicks
// and keys.
#include "gui/guifixture.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "screens/settings/systemsetviewcontroller.h"
#include "screens/shell/functionviewcontroller.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "ui/datetimefield.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"

namespace {

class KeyboardTest : public GuiTest
{
public: // the cases' steps below reach these
    // The function menu of window 01, in the container, as after a login.
    FunctionViewController *openFunctionMenu()
    {
        m_container = openContainer();
        auto *menu = push(new FunctionViewController, m_container->rootViewController());
        EXPECT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("视频播放控制")); }));
        app().settle();
        return menu;
    }
    KTBaseViewController *front() const { return QmlShell::frontScreen(); }
    // Tabs until the focus is on a control showing text; false after a lap.
    bool tabTo(const QString &text)
    {
        for (int i = 0; i < 40; ++i) {
            app().key(Qt::Key_Tab);
            if (app().focusItem() && app().focusItem()->property("text").toString() == text)
                return true;
        }
        return false;
    }

    SLideZoomMenuController *m_container = nullptr;
};

TEST_F(KeyboardTest, TabReachesOnlyWhatIsInViewAndTheFocusShows)
{
    openFunctionMenu();
    QQuickItem *sideMenu = app().find(QStringLiteral("sideMenu"));
    ASSERT_TRUE(sideMenu);
    QQuickItem *ring = app().find(QStringLiteral("focusRing"));
    ASSERT_TRUE(ring);

    // The closed menu: a lap of Tab stays on the function menu, ringed.
    QSet<QString> reached;
    for (int i = 0; i < 30; ++i) {
        app().key(Qt::Key_Tab);
        QQuickItem *focus = app().focusItem();
        ASSERT_TRUE(focus);
        EXPECT_FALSE(AppWindow::isInside(focus, sideMenu)) << focus->property("text").toString().toStdString();
        reached << focus->property("text").toString();
        app().settle(20);
        EXPECT_TRUE(ring->isVisible());
        EXPECT_TRUE(QRectF(ring->position(), ring->size()).contains(app().centre(focus)));
    }
    EXPECT_TRUE(reached.contains(QStringLiteral("视频文件传输")));
    EXPECT_TRUE(reached.contains(QStringLiteral("动画互动发送")));
    EXPECT_FALSE(reached.contains(QStringLiteral("即时重启")));

    // Space on what Tab reached opens nothing of the menu.
    app().key(Qt::Key_Space);
    EXPECT_EQ(nav().top(), m_container);

    // The open menu: now only the menu's entries take the focus.
    m_container->showLeft();
    app().settle();
    reached.clear();
    for (int i = 0; i < 30; ++i) {
        app().key(Qt::Key_Tab);
        ASSERT_TRUE(app().focusItem());
        EXPECT_TRUE(AppWindow::isInside(app().focusItem(), sideMenu));
        reached << app().focusItem()->property("text").toString();
    }
    EXPECT_TRUE(reached.contains(QStringLiteral("即时重启")));
    // A click leaves no ring.
    app().clickText(QStringLiteral("软件信息"));
    EXPECT_TRUE(app().waitFor([&] { return front()->pageName() == QLatin1String("SoftInfoViewController"); }));
    app().settle();
    EXPECT_FALSE(ring->isVisible());
}

TEST_F(KeyboardTest, EnterAndSpacePressTheFocusedButton)
{
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        SCOPED_TRACE(key);
        openFunctionMenu();
        ASSERT_TRUE(tabTo(QStringLiteral("视频窗体设定")));
        app().key(key);
        EXPECT_TRUE(app().waitFor([&] { return front()->pageName() == QLatin1String("PlayWindowSetViewController"); }));
        nav().popToRoot();
        closeApp();
    }
}

TEST_F(KeyboardTest, EscClosesWhatIsOpenElseGoesBackAsTheBackButtonDoes)
{
    chooseServer();
    struct Case
    {
        const char *name;
        std::function<void(KeyboardTest &)> setUp;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::function<bool(KeyboardTest &)> done;
    };
    const Case cases[] = {
        {"Esc on the function menu returns to the server list",
         [](KeyboardTest &t) { t.openFunctionMenu(); }, Qt::Key_Escape, Qt::NoModifier,
         [](KeyboardTest &t) { return t.front()->pageName() == QLatin1String("HomeViewController"); }},
        {"Alt+Left on the function menu returns to the server list",
         [](KeyboardTest &t) { t.openFunctionMenu(); }, Qt::Key_Left, Qt::AltModifier,
         [](KeyboardTest &t) { return t.front()->pageName() == QLatin1String("HomeViewController"); }},
        {"Backspace on the function menu returns to the server list",
         [](KeyboardTest &t) { t.openFunctionMenu(); }, Qt::Key_Backspace, Qt::NoModifier,
         [](KeyboardTest &t) { return t.front()->pageName() == QLatin1String("HomeViewController"); }},
        {"Esc on the server list returns to discovery, as its back button",
         [](KeyboardTest &t) { t.m_container = t.openContainer(); }, Qt::Key_Escape, Qt::NoModifier,
         [](KeyboardTest &t) { return t.nav().top() == t.m_scan; }},
        {"Esc closes the open side menu and goes nowhere",
         [](KeyboardTest &t) { t.m_container = t.openContainer(); t.m_container->showLeft(); }, Qt::Key_Escape,
         Qt::NoModifier,
         [](KeyboardTest &t) { return !t.m_container->isShow() && t.nav().top() == t.m_container; }},
        {"Esc closes the side menu opened with its button",
         [](KeyboardTest &t) {
             t.m_container = t.openContainer();
             t.app().settle();
             t.app().clickText(QStringLiteral("☰"));
             t.app().waitFor([&] { return t.m_container->isShow(); });
         },
         Qt::Key_Escape, Qt::NoModifier,
         [](KeyboardTest &t) { return !t.m_container->isShow() && t.nav().top() == t.m_container; }},
        {"Esc on discovery, which has no back button, changes nothing",
         [](KeyboardTest &) {}, Qt::Key_Escape, Qt::NoModifier,
         [](KeyboardTest &t) { return t.nav().top() == t.m_scan; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.setUp(*this);
        app().settle();
        app().key(c.key, c.modifiers);
        EXPECT_TRUE(app().waitFor([&] { return c.done(*this); }));
        nav().popToRoot();
        closeApp();
    }
}

TEST_F(KeyboardTest, ThePasswordPromptTakesEnterAndEscAndHoldsTheTitleBar)
{
    chooseServer();
    m_container = openContainer();
    auto *home = qobject_cast<HomeViewController *>(m_container->rootViewController()->root());
    ASSERT_TRUE(home);
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("演示服务器")); }));
    QQuickItem *menuButton = app().findText(QStringLiteral("☰"));
    ASSERT_TRUE(menuButton);
    const QPoint menuAt = app().centre(menuButton);

    // Esc: the prompt goes, the server stays locked, nothing is said.
    ASSERT_TRUE(app().clickText(QStringLiteral("演示服务器")));
    ASSERT_TRUE(app().waitFor([&] { return home->isPasswordPromptVisible(); }));
    // The prompt covers the title bar: ☰ does not open the menu under it.
    app().clickAt(menuAt);
    app().settle();
    EXPECT_FALSE(m_container->isShow());
    EXPECT_TRUE(home->isPasswordPromptVisible());
    app().key(Qt::Key_Escape);
    EXPECT_TRUE(app().waitFor([&] { return !home->isPasswordPromptVisible(); }));
    EXPECT_FALSE(app().findText(QStringLiteral("视频窗口_01")));
    EXPECT_TRUE(PopupCenter::shared().history().isEmpty());

    // Enter: confirmed with the pre-filled password, the windows show.
    ASSERT_TRUE(app().clickText(QStringLiteral("演示服务器")));
    ASSERT_TRUE(app().waitFor([&] { return home->isPasswordPromptVisible(); }));
    app().settle();
    app().key(Qt::Key_Return);
    EXPECT_FALSE(home->isPasswordPromptVisible());
    EXPECT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("视频窗口_01")); }));

    // Without the prompt, the same click opens the menu.
    app().settle();
    app().clickAt(menuAt);
    EXPECT_TRUE(app().waitFor([&] { return m_container->isShow(); }));
}

TEST_F(KeyboardTest, BackspaceInATextFieldEditsAndNeverGoesBack)
{
    chooseServer();
    m_container = openContainer();
    auto *home = qobject_cast<HomeViewController *>(m_container->rootViewController()->root());
    ASSERT_TRUE(home);
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("演示服务器")); }));
    ASSERT_TRUE(app().clickText(QStringLiteral("演示服务器")));
    ASSERT_TRUE(app().waitFor([&] { return home->isPasswordPromptVisible(); }));
    app().settle();
    // More presses than the pre-filled password has characters: the last
    // ones land on an empty field.
    for (int i = 0; i < 6; ++i)
        app().key(Qt::Key_Backspace);
    app().settle();
    EXPECT_TRUE(home->isPasswordPromptVisible());
    EXPECT_EQ(nav().top(), m_container);

    app().key(Qt::Key_Escape);
    ASSERT_TRUE(app().waitFor([&] { return !home->isPasswordPromptVisible(); }));
    app().settle();
    app().key(Qt::Key_Backspace);
    EXPECT_TRUE(app().waitFor([&] { return nav().top() == m_scan; }));
}

TEST_F(KeyboardTest, TheVolumePanelHoldsTheTitleBarAndEscClosesIt)
{
    chooseServer();
    auto *screen = push(new PlayControlViewController);
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("›")); }));
    clock().advance(PopupCenter::kProgressTimeoutMs);
    QQuickItem *back = app().findText(QStringLiteral("‹"));
    ASSERT_TRUE(back);
    const QPoint backAt = app().centre(back);
    ASSERT_TRUE(app().clickText(QStringLiteral("›")));
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("音量")); }));
    ASSERT_TRUE(app().clickText(QStringLiteral("音量")));
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("音量调节")); }));

    app().clickAt(backAt);
    app().settle();
    EXPECT_EQ(nav().top(), screen);
    EXPECT_TRUE(screen->isVolumePanelVisible());

    app().key(Qt::Key_Escape);
    EXPECT_TRUE(app().waitFor([&] { return !screen->isVolumePanelVisible(); }));
    EXPECT_EQ(nav().top(), screen);
    // Closed, the next Esc is the back button's.
    app().settle();
    app().key(Qt::Key_Escape);
    EXPECT_TRUE(app().waitFor([&] { return nav().top() == m_scan; }));
}

class PickerTest : public KeyboardTest
{
protected:
    void configure(ContextConfig &c) override
    {
        KeyboardTest::configure(c);
        m_simConfig.families = QStringList{QStringLiteral("login"), QStringLiteral("settings")};
    }
};

TEST_F(PickerTest, AWheelFollowsTheWheelAClickAndKeysAndClosingAppliesIt)
{
    chooseServer();
    auto *screen = push(new SystemSetViewController);
    ASSERT_TRUE(app().waitFor([&] { return screen->hasSystemInfo(); }));
    clock().advance(PopupCenter::kProgressTimeoutMs);
    PickerField *rotation = screen->xuanzhuanduField();

    struct Case
    {
        const char *how;
        std::function<void(AppWindow &, QQuickItem *wheel)> move;
        const char *shown;
        const char *frame;
    };
    const Case cases[] = {
        {"a wheel notch towards the user", [](AppWindow &a, QQuickItem *w) { a.wheel(w, -1); a.clickText(QStringLiteral("完成")); },
         "90°", "414e4401550c01"},
        {"three notches down and one up", [](AppWindow &a, QQuickItem *w) { a.wheel(w, -3); a.wheel(w, 1); a.clickText(QStringLiteral("完成")); },
         "180°", "414e4401550c02"},
        {"End and Enter", [](AppWindow &a, QQuickItem *) { a.key(Qt::Key_End); a.key(Qt::Key_Return); },
         "270°", "414e4401550c03"},
        {"a click on a row", [](AppWindow &a, QQuickItem *) { a.clickText(QStringLiteral("180°")); a.clickText(QStringLiteral("完成")); },
         "180°", "414e4401550c02"},
        {"Down, PageDown, PageUp, Down and Esc",
         [](AppWindow &a, QQuickItem *) { for (int k : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Down}) a.key(k); a.key(Qt::Key_Escape); },
         "90°", "414e4401550c01"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        // Each case starts from the first row, 0°.
        rotation->beginEditing();
        rotation->selectRow(0);
        rotation->endEditing();
        ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("0°")); }));
        const int before = countLine(QLatin1String(c.frame));
        ASSERT_TRUE(app().clickText(QStringLiteral("0°")));
        QQuickItem *wheel = nullptr;
        ASSERT_TRUE(app().waitFor([&] { return (wheel = app().find(QStringLiteral("pickerWheel"))) && wheel->isVisible(); }));
        app().settle();
        c.move(app(), wheel);
        EXPECT_TRUE(app().waitFor([&] { return !rotation->isEditing(); }));
        EXPECT_EQ(rotation->text(), QString::fromUtf8(c.shown));
        EXPECT_TRUE(app().waitFor([&] { return countLine(QLatin1String(c.frame)) == before + 1; }));
        app().settle();
    }
}

TEST_F(PickerTest, TheDayWheelOffersTheDaysOfTheChosenMonth)
{
    auto *screen = new TimingPlayViewController;
    screen->setWindowID(QStringLiteral("01"));
    push(screen);
    DateTimeField *start = screen->startDateField();
    struct Case
    {
        int year;
        int month;
        int days;
    };
    for (const Case &c : {Case{2016, 2, 29}, Case{2015, 2, 28}, Case{2016, 4, 30}, Case{2016, 12, 31}}) {
        SCOPED_TRACE(c.year * 100 + c.month);
        ASSERT_TRUE(app().waitFor([&] { return app().find(QStringLiteral("startDate")); }));
        ASSERT_TRUE(app().click(app().find(QStringLiteral("startDate"))));
        QQuickItem *day = nullptr;
        ASSERT_TRUE(app().waitFor([&] { return (day = app().find(QStringLiteral("thirdWheel"))) && day->isVisible(); }));
        app().settle();
        // The year wheel has the focus: from 2000 down to the year.
        app().key(Qt::Key_Home);
        for (int y = 2000; y < c.year; ++y)
            app().key(Qt::Key_Down);
        app().key(Qt::Key_Tab);
        app().key(Qt::Key_Home);
        for (int m = 1; m < c.month; ++m)
            app().key(Qt::Key_Down);
        EXPECT_EQ(day->property("count").toInt(), c.days);
        app().key(Qt::Key_Tab);
        app().key(Qt::Key_End);
        app().key(Qt::Key_Return);
        EXPECT_TRUE(app().waitFor([&] { return !start->isEditing(); }));
        EXPECT_EQ(start->date(), QDate(c.year, c.month, c.days));
        EXPECT_EQ(start->text(), QDate(c.year, c.month, c.days).toString(QStringLiteral("yyyy/MM/dd")));
        app().settle();
    }
}

} // namespace
