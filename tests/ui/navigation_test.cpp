#include "support/testcontext.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/ktbasetableviewcontroller.h"
#include "ui/uikit.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// Writes every hook into a shared log; a hook may also run an action, to
// push or pop from inside it.
class Probe : public KTBaseViewController
{
public:
    Probe(QString name, QStringList *log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    std::function<void()> onLoad, onAppear, onDisappear;

protected:
    void viewDidLoad() override { hook(QStringLiteral("load"), onLoad); }
    void viewWillAppear() override { hook(QStringLiteral("appear"), onAppear); }
    void viewWillDisappear() override { hook(QStringLiteral("disappear"), onDisappear); }

private:
    void hook(const QString &what, std::function<void()> &action)
    {
        m_log->append(m_name + QLatin1Char(':') + what);
        if (action) {
            auto run = action;
            action = nullptr; // once
            run();
        }
    }
    QString m_name;
    QStringList *m_log;
};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class NavigationTest : public ContextTest
{
public:
    Probe *probe(const QString &name) { return new Probe(name, &log); }

    // Only the top of a stack in view may be appeared.
    static void expectOnlyTopAppeared(const KTBaseNavigationController &nav)
    {
        for (int i = 0; i < nav.count(); ++i)
            EXPECT_EQ(nav.at(i)->isAppeared(), i == nav.count() - 1 && nav.isInView()) << "screen " << i;
    }
    QStringList takeLog()
    {
        QStringList out = log;
        log.clear();
        return out;
    }

    QStringList log;
};

TEST_F(NavigationTest, HooksRunInOrderOnPushAndPop)
{
    KTBaseNavigationController nav;
    Probe *a = probe("A");
    nav.push(a);
    EXPECT_EQ(takeLog(), QStringList({"A:load", "A:appear"}));

    nav.push(probe("B"));
    EXPECT_EQ(takeLog(), QStringList({"A:disappear", "B:load", "B:appear"}));
    expectOnlyTopAppeared(nav);

    EXPECT_TRUE(nav.pop());
    EXPECT_EQ(takeLog(), QStringList({"B:disappear", "A:appear"})); // A loads only once
    EXPECT_EQ(nav.top(), a);

    nav.push(probe("C"));
    EXPECT_EQ(takeLog(), QStringList({"A:disappear", "C:load", "C:appear"}));
    EXPECT_EQ(nav.count(), 2);
    expectOnlyTopAppeared(nav);
}

TEST_F(NavigationTest, SignalsMirrorEachChange)
{
    KTBaseNavigationController nav;
    QStringList events;
    QObject::connect(&nav, &KTBaseNavigationController::pushed, [&](KTBaseViewController *s) {
        events << "pushed:" + s->title();
    });
    QObject::connect(&nav, &KTBaseNavigationController::popped, [&](KTBaseViewController *s) {
        events << "popped:" + s->title();
    });
    QObject::connect(&nav, &KTBaseNavigationController::changed, [&]() {
        events << QStringLiteral("changed:%1:%2").arg(nav.count()).arg(nav.screenObjects().size());
    });
    for (const char *name : {"A", "B", "C"}) {
        Probe *p = probe(name);
        p->setTitle(name);
        nav.push(p);
    }
    nav.popToRoot();
    EXPECT_EQ(events, QStringList({"pushed:A", "changed:1:1", "pushed:B", "changed:2:2", "pushed:C", "changed:3:3",
                                   "popped:C", "popped:B", "changed:1:1"}));
}

TEST_F(NavigationTest, PoppedScreenHearsNothingMoreAndIsDestroyed)
{
    KTBaseNavigationController nav;
    nav.push(probe("A"));
    Probe *b = probe("B");
    int heard = 0;
    b->onLoad = [&] { ctx().notices().subscribe(b, "didReceiveSystemInfoNotice", [&](const QVariant &) { ++heard; }); };
    nav.push(b);
    ctx().notices().post("didReceiveSystemInfoNotice");
    ASSERT_EQ(heard, 1);

    QPointer<Probe> guard(b);
    nav.pop();
    // Before the deferred delete has run: the subscription is already over.
    ctx().notices().post("didReceiveSystemInfoNotice");
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(ctx().notices().subscriberCount("didReceiveSystemInfoNotice"), 0);
    EXPECT_FALSE(guard.isNull());
    EXPECT_EQ(guard->navigationController(), nullptr);

    flushDeletes();
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(nav.count(), 1);
}

TEST_F(NavigationTest, PopToRootSkipsTheHooksOfScreensInBetween)
{
    KTBaseNavigationController nav;
    Probe *root = probe("A");
    nav.push(root);
    QList<QPointer<Probe>> above;
    for (const char *name : {"B", "C", "D"}) {
        above << probe(name);
        nav.push(above.last());
    }
    takeLog();

    EXPECT_TRUE(nav.popToRoot());
    EXPECT_EQ(takeLog(), QStringList({"D:disappear", "A:appear"}));
    EXPECT_EQ(nav.count(), 1);
    EXPECT_EQ(nav.top(), root);
    flushDeletes();
    for (const auto &s : above)
        EXPECT_TRUE(s.isNull());

    // The first screen stays.
    EXPECT_FALSE(nav.popToRoot());
    EXPECT_FALSE(nav.pop());
    EXPECT_EQ(nav.count(), 1);
    EXPECT_TRUE(takeLog().isEmpty());
}

TEST_F(NavigationTest, HooksThatPushOrPopLeaveAConsistentStack)
{
    struct Case
    {
        const char *name;
        // Given the root A (in view) and B about to be pushed; returns what B's hooks do.
        std::function<void(KTBaseNavigationController &, Probe *a, Probe *b, NavigationTest *)> arrange;
        QStringList stack;
        QStringList log;
    };
    const QList<Case> cases = {
        {"load pushes another screen",
         [](KTBaseNavigationController &nav, Probe *, Probe *b, NavigationTest *t) {
             b->onLoad = [&nav, t] { nav.push(t->probe("C")); };
         },
         {"A", "B", "C"},
         {"A:disappear", "B:load", "C:load", "C:appear"}},
        {"appear pops itself",
         [](KTBaseNavigationController &nav, Probe *, Probe *b, NavigationTest *) {
             b->onAppear = [&nav] { nav.pop(); };
         },
         {"A"},
         {"A:disappear", "B:load", "B:appear", "B:disappear", "A:appear"}},
        {"covered screen pushes while leaving",
         [](KTBaseNavigationController &nav, Probe *a, Probe *, NavigationTest *t) {
             a->onDisappear = [&nav, t] { nav.push(t->probe("C")); };
         },
         {"A", "B", "C"},
         {"A:disappear", "C:load", "C:appear"}},
        {"load pops to the root",
         [](KTBaseNavigationController &nav, Probe *, Probe *b, NavigationTest *) {
             b->onLoad = [&nav] { nav.popToRoot(); };
         },
         {"A"},
         {"A:disappear", "B:load", "A:appear"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        KTBaseNavigationController nav;
        Probe *a = probe("A");
        a->setTitle("A");
        nav.push(a);
        takeLog();
        Probe *b = probe("B");
        b->setTitle("B");
        c.arrange(nav, a, b, this);
        nav.push(b);
        QStringList titles;
        for (KTBaseViewController *s : nav.screenList())
            titles << (s->title().isEmpty() ? QStringLiteral("C") : s->title());
        EXPECT_EQ(titles, c.stack);
        EXPECT_EQ(takeLog(), c.log);
        expectOnlyTopAppeared(nav);
        flushDeletes();
    }
}

TEST_F(NavigationTest, ScreenRedirectedAtLoadAppearsWhenUncovered)
{
    KTBaseNavigationController nav;
    nav.push(probe("A"));
    Probe *b = probe("B");
    b->onLoad = [&] { nav.push(probe("C")); };
    nav.push(b);
    takeLog();
    nav.pop();
    EXPECT_EQ(takeLog(), QStringList({"C:disappear", "B:appear"}));
    EXPECT_TRUE(b->isAppeared());
}

TEST_F(NavigationTest, DeletingTheTopUncoversTheOneBelow)
{
    KTBaseNavigationController nav;
    nav.push(probe("A"));
    Probe *b = probe("B");
    nav.push(b);
    takeLog();
    delete b;
    EXPECT_EQ(nav.count(), 1);
    EXPECT_EQ(takeLog(), QStringList({"A:appear"}));
    expectOnlyTopAppeared(nav);
}

TEST_F(NavigationTest, PushRefusesScreensThatAlreadyHaveAPlace)
{
    KTBaseNavigationController nav, other;
    Probe *a = probe("A");
    EXPECT_FALSE(nav.push(nullptr));
    ASSERT_TRUE(nav.push(a));
    EXPECT_FALSE(nav.push(a));
    EXPECT_FALSE(other.push(a));
    Probe *child = probe("M");
    a->addChildScreen(child);
    EXPECT_FALSE(other.push(child));
    EXPECT_EQ(nav.count(), 1);
    EXPECT_EQ(other.count(), 0);
    EXPECT_EQ(a->navigationController(), &nav);
}

TEST_F(NavigationTest, BackButtonReturnsOneScreenFromItsOwner)
{
    KTBaseNavigationController nav;
    Probe *a = probe("A");
    Probe *b = probe("B");
    nav.push(a);
    nav.push(b);
    EXPECT_FALSE(a->hasBackButton());
    EXPECT_TRUE(b->hasBackButton());
    EXPECT_FALSE(a->hidesBottomBarWhenPushed());
    EXPECT_TRUE(b->hidesBottomBarWhenPushed());

    // From a covered screen: back to the one below it, not just one pop.
    nav.push(probe("C"));
    b->backButtonTapped();
    EXPECT_EQ(nav.count(), 1);
    EXPECT_EQ(nav.top(), a);
    a->backButtonTapped(); // no button, nothing happens
    EXPECT_EQ(nav.count(), 1);

    Probe *d = probe("D");
    nav.push(d);
    int custom = 0;
    d->setBackButtonAction([&] { ++custom; });
    d->setBackButtonEnabled(false);
    d->backButtonTapped();
    EXPECT_EQ(custom, 0);
    d->setBackButtonEnabled(true);
    d->backButtonTapped();
    EXPECT_EQ(custom, 1);
    EXPECT_EQ(nav.top(), d);
}

TEST_F(NavigationTest, RightBarButtonRunsItsAction)
{
    Probe *a = probe("A");
    std::unique_ptr<Probe> owner(a);
    a->clickedBarButtonItemAction(); // nothing configured: nothing to run
    EXPECT_FALSE(a->hasRightBarButton());

    int taps = 0;
    a->configureBarbuttonItemStyle(9, "完成", [&] {
        ++taps;
        // Reconfiguring from inside the action must not break the running one.
        a->configureBarbuttonItemStyle(1, "下一步", [&] { taps += 10; });
    });
    EXPECT_TRUE(a->hasRightBarButton());
    EXPECT_EQ(a->rightBarButtonStyle(), 4);
    a->clickedBarButtonItemAction();
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(a->rightBarButtonTitle(), "下一步");
    a->clickedBarButtonItemAction();
    EXPECT_EQ(taps, 11);
}

// A side-menu holder: a screen with an embedded menu screen and a stack of its own.
TEST_F(NavigationTest, EmbeddedScreensFollowTheirHolder)
{
    KTBaseNavigationController outer;
    outer.push(probe("R"));
    Probe *holder = probe("H");
    Probe *menu = probe("M");
    auto *inner = new KTBaseNavigationController;
    holder->addChildScreen(menu);
    holder->addChildStack(inner);
    inner->push(probe("S1")); // holder not in view yet: no hooks
    EXPECT_EQ(takeLog(), QStringList({"R:load", "R:appear"}));

    outer.push(holder);
    EXPECT_EQ(takeLog(), QStringList({"R:disappear", "H:load", "H:appear", "M:load", "M:appear", "S1:load", "S1:appear"}));
    EXPECT_EQ(menu->navigationController(), &outer);
    EXPECT_EQ(inner->top()->navigationController(), inner);
    menu->setNavigationBarHidden(true);
    EXPECT_TRUE(outer.isNavigationBarHidden());
    EXPECT_FALSE(inner->isNavigationBarHidden());

    Probe *cover = probe("X");
    outer.push(cover);
    EXPECT_EQ(takeLog(), QStringList({"H:disappear", "M:disappear", "S1:disappear", "X:load", "X:appear"}));
    expectOnlyTopAppeared(*inner);

    outer.pop();
    EXPECT_EQ(takeLog(), QStringList({"X:disappear", "H:appear", "M:appear", "S1:appear"}));

    QPointer<Probe> s2 = probe("S2");
    inner->push(s2);
    EXPECT_EQ(takeLog(), QStringList({"S1:disappear", "S2:load", "S2:appear"}));

    QPointer<KTBaseNavigationController> innerGuard(inner);
    QPointer<Probe> menuGuard(menu);
    outer.popToRoot();
    EXPECT_EQ(takeLog(), QStringList({"H:disappear", "M:disappear", "S2:disappear", "R:appear"}));
    flushDeletes();
    EXPECT_TRUE(innerGuard.isNull());
    EXPECT_TRUE(menuGuard.isNull());
    EXPECT_TRUE(s2.isNull());
}

TEST_F(NavigationTest, TableScreenPushesOntoItsStack)
{
    KTBaseNavigationController nav;
    auto *list = new KTBaseTableViewController;
    nav.push(list);
    EXPECT_TRUE(list->pushNewViewController(probe("A")));
    EXPECT_EQ(nav.count(), 2);

    // Without a stack the screen cannot go anywhere and is not leaked.
    KTBaseTableViewController loose;
    QPointer<Probe> orphan = probe("B");
    EXPECT_FALSE(loose.pushNewViewController(orphan));
    EXPECT_TRUE(orphan.isNull());
}

TEST_F(NavigationTest, UiKitHoldsTheRootStackAndTheSharedCentres)
{
    UiKit &kit = UiKit::shared();
    EXPECT_EQ(&kit, &ctx().shared<UiKit>());
    EXPECT_EQ(&kit.popups(), &PopupCenter::shared());
    EXPECT_EQ(&kit.alerts(), &AlertCenter::shared());
    Probe *root = probe("A");
    kit.navigation().push(root);
    EXPECT_TRUE(root->isAppeared());
    EXPECT_EQ(&root->popups(), &kit.popups());
    EXPECT_EQ(root->pageName(), "KTBaseViewController"); // Probe has no meta-object of its own
}

} // namespace
