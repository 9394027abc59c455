#include "support/testcontext.h"
#include "ui/alertcenter.h"
#include "ui/ktbaseviewcontroller.h"

namespace {

class AlertTest : public ContextTest
{
protected:
    AlertCenter &alerts() { return AlertCenter::shared(); }
};

TEST_F(AlertTest, AnswerReachesTheCallbackOnce)
{
    QList<int> answers;
    alerts().alert("提示", "是否立即播放", {"确定", "取消"}, nullptr, [&](int i) { answers << i; });
    ASSERT_TRUE(alerts().hasPending());
    EXPECT_EQ(alerts().style(), AlertCenter::Alert);
    EXPECT_EQ(alerts().title(), "提示");
    EXPECT_EQ(alerts().message(), "是否立即播放");
    EXPECT_EQ(alerts().buttons(), QStringList({"确定", "取消"}));

    EXPECT_TRUE(alerts().answer(1));
    EXPECT_FALSE(alerts().hasPending());
    EXPECT_FALSE(alerts().answer(0));
    EXPECT_EQ(answers, QList<int>{1});
}

TEST_F(AlertTest, AnswerOutsideTheButtonsIsRefused)
{
    QList<int> answers;
    alerts().actionSheet(QString(), {"拍照", "从手机相册选择", "取消"}, nullptr, [&](int i) { answers << i; });
    for (int bad : {-1, 3, 42}) {
        EXPECT_FALSE(alerts().answer(bad)) << bad;
        EXPECT_TRUE(alerts().hasPending());
    }
    EXPECT_TRUE(answers.isEmpty());
    EXPECT_TRUE(alerts().answer(2));
    EXPECT_EQ(answers, QList<int>{2});
}

TEST_F(AlertTest, CancelAnswersTheLastButtonOfThePendingQuestionOnly)
{
    QStringList heard;
    alerts().actionSheet(QString(), {"拍照", "从手机相册选择", "取消"}, nullptr,
                         [&](int i) { heard << QStringLiteral("sheet:%1").arg(i); });
    alerts().alert("提示", "设置成功", {"确定"}, nullptr, [&](int i) { heard << QStringLiteral("ok:%1").arg(i); });
    EXPECT_TRUE(alerts().cancel());
    EXPECT_EQ(heard, QStringList{"sheet:2"});
    // A question of one button: cancelling it is that button.
    EXPECT_TRUE(alerts().cancel());
    EXPECT_EQ(heard, (QStringList{"sheet:2", "ok:0"}));
    EXPECT_FALSE(alerts().cancel());
    EXPECT_EQ(heard.size(), 2);
}

TEST_F(AlertTest, QuestionsWaitTheirTurn)
{
    QStringList heard;
    alerts().alert("提示", "请确认是否清除列表中所有的视频？", {"确定", "取消"}, nullptr, [&](int i) {
        heard << QStringLiteral("clear:%1").arg(i);
        // The answered question is gone before its asker hears the answer.
        EXPECT_EQ(alerts().queuedCount(), 1);
        EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
        // Asked while answering: goes behind what is already waiting.
        alerts().alert("提示", "是否立即播放", {"确定", "取消"}, nullptr,
                       [&](int j) { heard << QStringLiteral("play:%1").arg(j); });
    });
    alerts().actionSheet("请确认是否删除所选视频文件?", {"确定", "同时删除本地文件", "取消"}, nullptr,
                         [&](int i) { heard << QStringLiteral("delete:%1").arg(i); });
    EXPECT_EQ(alerts().queuedCount(), 2);
    EXPECT_EQ(alerts().message(), "请确认是否清除列表中所有的视频？");

    alerts().answer(0);
    EXPECT_EQ(alerts().style(), AlertCenter::ActionSheet);
    EXPECT_EQ(alerts().title(), "请确认是否删除所选视频文件?");
    EXPECT_TRUE(alerts().message().isEmpty());
    alerts().answer(1);
    EXPECT_EQ(alerts().message(), "是否立即播放");
    alerts().answer(1);
    EXPECT_EQ(heard, QStringList({"clear:0", "delete:1", "play:1"}));
    EXPECT_EQ(alerts().queuedCount(), 0);
}

TEST_F(AlertTest, QuestionOfADestroyedAskerIsDropped)
{
    int called = 0;
    auto *screen = new KTBaseViewController;
    screen->alert("提示", "是否立即播放", {"确定", "取消"}, [&](int) { ++called; });
    auto *owner = new QObject;
    alerts().alert("提示", "second", {"确定"}, owner, [&](int) { ++called; });
    alerts().alert("提示", "third", {"确定"}, nullptr, [&](int) { called += 100; });
    ASSERT_EQ(alerts().queuedCount(), 3);

    int changes = 0;
    QObject::connect(&alerts(), &AlertCenter::changed, [&] { ++changes; });
    delete screen;
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(alerts().message(), "second");
    delete owner;
    EXPECT_EQ(alerts().message(), "third");
    EXPECT_TRUE(alerts().answer(0));
    EXPECT_EQ(called, 100);
}

TEST_F(AlertTest, QuestionWithoutButtonsDoesNotBlockTheQueue)
{
    alerts().alert("提示", "nothing to tap", {}, nullptr, [](int) {});
    EXPECT_FALSE(alerts().hasPending());
}

} // namespace
