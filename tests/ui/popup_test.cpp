#include "support/testcontext.h"
#include "ui/popupcenter.h"

namespace {

class PopupTest : public ContextTest
{
protected:
    PopupCenter &popups() { return PopupCenter::shared(); }
};

TEST_F(PopupTest, ProgressBlocksTouchesAndClosesItselfAtTenSeconds)
{
    popups().showProgress("连接中...");
    EXPECT_TRUE(popups().isVisible());
    EXPECT_TRUE(popups().touchesBlocked());
    EXPECT_EQ(popups().kind(), PopupCenter::Progress);
    EXPECT_EQ(popups().text(), "连接中...");

    clock().advance(9999);
    EXPECT_TRUE(popups().isVisible());
    EXPECT_TRUE(popups().touchesBlocked());
    clock().advance(1);
    EXPECT_FALSE(popups().isVisible());
    EXPECT_FALSE(popups().touchesBlocked());
}

TEST_F(PopupTest, ShowingProgressAgainRestartsTheTenSeconds)
{
    popups().showProgress("新增窗口中...");
    clock().advance(6000);
    popups().showProgress("关闭窗口中...");
    clock().advance(9999); // 15.999 s after the first, 9.999 s after the second
    EXPECT_TRUE(popups().touchesBlocked());
    EXPECT_EQ(popups().text(), "关闭窗口中...");
    clock().advance(1);
    EXPECT_FALSE(popups().isVisible());
}

TEST_F(PopupTest, DismissingProgressCancelsItsTimer)
{
    int closed = 0;
    QObject::connect(&popups(), &PopupCenter::closed, [&] { ++closed; });
    popups().showProgress("文件列表获取中,请稍后!!!");
    clock().advance(2000);
    popups().dismissProgress();
    EXPECT_FALSE(popups().isVisible());
    EXPECT_EQ(clock().pendingCount(), 0);
    clock().advance(20000);
    EXPECT_EQ(closed, 1);
    popups().dismissProgress(); // nothing showing: nothing to close
    EXPECT_EQ(closed, 1);
}

TEST_F(PopupTest, StatusPopupsShowOneSecondWithoutBlocking)
{
    const struct
    {
        PopupCenter::Kind kind;
        void (PopupCenter::*show)(const QString &);
        const char *text;
    } cases[] = {
        {PopupCenter::Error, &PopupCenter::showError, "请输入文字"},
        {PopupCenter::Success, &PopupCenter::showSuccess, "设置成功"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        (popups().*c.show)(QString::fromUtf8(c.text));
        EXPECT_TRUE(popups().isVisible());
        EXPECT_FALSE(popups().touchesBlocked());
        EXPECT_EQ(popups().kind(), c.kind);
        EXPECT_EQ(popups().text(), QString::fromUtf8(c.text));
        popups().dismissProgress(); // does not cut a status pop-up short
        clock().advance(999);
        EXPECT_TRUE(popups().isVisible());
        clock().advance(1);
        EXPECT_FALSE(popups().isVisible());
    }
}

// A status pop-up replaces the progress one; the progress timer must not
// later close a progress pop-up shown after it.
TEST_F(PopupTest, ReplacedProgressLeavesNoTimerBehind)
{
    popups().showProgress("连接中...");
    clock().advance(5000);
    popups().showSuccess("设置成功");
    EXPECT_FALSE(popups().touchesBlocked());
    clock().advance(1000);
    EXPECT_FALSE(popups().isVisible());

    popups().showProgress("新增窗口中..."); // at 6 s
    clock().advance(9999);                 // past the first one's 10 s
    EXPECT_TRUE(popups().touchesBlocked());
    clock().advance(1);
    EXPECT_FALSE(popups().isVisible());
}

TEST_F(PopupTest, HistoryKeepsEveryPopupInOrder)
{
    popups().showProgress("连接中...");
    clock().advance(300);
    popups().showError("密码不正确");
    clock().advance(5000);
    popups().showSuccess("设置成功");
    popups().showSuccess("设置成功");

    const QList<PopupCenter::Record> h = popups().history();
    ASSERT_EQ(h.size(), 4);
    EXPECT_EQ(h[0].kind, PopupCenter::Progress);
    EXPECT_EQ(h[1].kind, PopupCenter::Error);
    EXPECT_EQ(h[1].text, "密码不正确");
    EXPECT_EQ(h[1].atMs, 300);
    EXPECT_EQ(h[3].atMs, 5300);
    EXPECT_TRUE(popups().wasShown(PopupCenter::Success, "设置成功"));
    EXPECT_FALSE(popups().wasShown(PopupCenter::Error, "设置成功"));
    EXPECT_EQ(popups().texts(PopupCenter::Error), QStringList{"密码不正确"});
    EXPECT_EQ(popups().texts(PopupCenter::Success).size(), 2);
}

} // namespace
