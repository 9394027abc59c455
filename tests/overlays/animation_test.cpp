#include "screens/overlays/animationpushviewcontroller.h"
#include "screens/overlays/animationviewcontroller.h"
#include "session/commonmanager.h"
#include "support/testcontext.h"
#include "ui/ktbasenavigationcontroller.h"

#include <memory>

namespace {

class AnimationTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"), QStringLiteral("01"));
        m_chooser = new AnimationViewController;
        m_nav = std::make_unique<KTBaseNavigationController>(m_chooser);
    }
    void TearDown() override
    {
        m_nav.reset();
        ContextTest::TearDown();
    }
    AnimationPushViewController *choose(int tag)
    {
        m_chooser->animationButtonAction(tag);
        return qobject_cast<AnimationPushViewController *>(m_nav->top());
    }

    AnimationViewController *m_chooser = nullptr;
    std::unique_ptr<KTBaseNavigationController> m_nav;
};

TEST_F(AnimationTest, ChoosingAnEffectOpensItsThrowingScreenAndSendsNothing)
{
    EXPECT_EQ(m_chooser->title(), QStringLiteral("动画效果"));
    const struct
    {
        int tag;
        const char *group;
        const char *picture;
        const char *order;
    } cases[] = {
        {1, "旋转效果:", "vedio_14", "414E44015505010100"}, {2, "移动效果:", "vedio_15", "414E44015505010200"},
        {3, "场景效果:", "vedio_16", "414E44015505010301"}, {4, "场景效果:", "vedio_17", "414E44015505010300"},
        {5, "场景效果:", "vedio_18", "414E44015505010302"},
    };
    const QVariantList effects = m_chooser->effects();
    ASSERT_EQ(effects.size(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.tag);
        const QVariantMap row = effects[i].toMap();
        EXPECT_EQ(row.value("tag").toInt(), c.tag);
        EXPECT_EQ(row.value("group").toString(), QString::fromUtf8(c.group));
        EXPECT_EQ(row.value("picture").toString(), QLatin1String(c.picture));

        AnimationPushViewController *push = choose(c.tag);
        ASSERT_NE(push, nullptr);
        EXPECT_EQ(push->title(), QStringLiteral("动画效果"));
        EXPECT_EQ(push->pushType(), c.tag);
        EXPECT_EQ(push->pushOrderString(), QLatin1String(c.order));
        EXPECT_EQ(push->picture(), QLatin1String(c.picture));
        EXPECT_TRUE(push->isButtonVisible());
        m_nav->pop();
    }
    // Another tag has no frame: nothing opens.
    m_chooser->animationButtonAction(6);
    EXPECT_EQ(m_nav->top(), m_chooser);
    EXPECT_TRUE(m_recorder.frames.isEmpty());
}

TEST_F(AnimationTest, TheWindowIsTheOneCurrentWhenTheEffectWasChosen)
{
    AnimationPushViewController *push = choose(4);
    ASSERT_NE(push, nullptr);
    CommonManager::sharedManager().currentWindowID = QStringLiteral("02");
    push->dragEnded(160, 100);
    EXPECT_EQ(m_recorder.hexes(), QStringList{"414E44015505010300"});

    m_nav->pop();
    m_recorder.frames.clear();
    push = choose(1);
    ASSERT_NE(push, nullptr);
    push->dragEnded(160, 100);
    EXPECT_EQ(m_recorder.hexes(), QStringList{"414E44015505020100"});
    EXPECT_EQ(m_recorder.frames[0].host, QStringLiteral("127.0.0.2"));
    EXPECT_EQ(m_recorder.frames[0].port, 5760);
}

TEST_F(AnimationTest, OnlyADragEndingAboveTheLineThrows)
{
    AnimationPushViewController *push = choose(3);
    ASSERT_NE(push, nullptr);
    push->setViewWidth(375);
    // Start: centred, top edge 380; the reset button 25 points below it.
    EXPECT_EQ(push->buttonX(), (375 - 70) / 2.0);
    EXPECT_EQ(push->buttonY(), 380);
    EXPECT_EQ(push->buttonCenterY(), 415);
    EXPECT_EQ(push->resetX(), (375 - 200) / 2.0);
    EXPECT_EQ(push->resetY(), 475);

    const struct
    {
        qreal centerY;
        bool throws;
    } cases[] = {{219, true}, {219.9, true}, {0, true}, {-30, true}, {220, false}, {221, false}, {600, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.centerY);
        push->restartButtonFrame();
        m_recorder.frames.clear();
        push->dragMoved(90, 300);
        EXPECT_EQ(push->buttonCenterY(), 300);
        push->dragEnded(90, c.centerY);
        EXPECT_EQ(m_recorder.frames.size(), c.throws ? 1 : 0);
        EXPECT_EQ(push->isButtonVisible(), !c.throws);
        if (!c.throws) {
            EXPECT_EQ(push->buttonCenterX(), 375 / 2.0);
            EXPECT_EQ(push->buttonCenterY(), 415);
        }
    }
}

TEST_F(AnimationTest, AThrownPictureComesBackOnlyWithReset)
{
    AnimationPushViewController *push = choose(2);
    ASSERT_NE(push, nullptr);
    push->dragEnded(160, 100);
    ASSERT_EQ(m_recorder.frames.size(), 1);

    // Hidden: further drags do nothing.
    push->dragMoved(160, 90);
    push->dragEnded(160, 90);
    EXPECT_EQ(m_recorder.frames.size(), 1);
    EXPECT_FALSE(push->isButtonVisible());

    push->restartButtonFrame();
    EXPECT_TRUE(push->isButtonVisible());
    EXPECT_EQ(push->buttonY(), 380);
    push->dragEnded(160, 150);
    EXPECT_EQ(m_recorder.hexes(), (QStringList{"414E44015505010200", "414E44015505010200"}));
}

TEST_F(AnimationTest, AThrowingScreenOpenedWithoutAnEffectSendsNothing)
{
    auto *push = new AnimationPushViewController;
    m_nav->push(push);
    push->dragEnded(160, 100);
    EXPECT_TRUE(m_recorder.frames.isEmpty());
    EXPECT_TRUE(push->picture().isEmpty());
}

} // namespace
