// The overlay pages, rendered offscreen in the states a person would look
// at, and written to PNGs.
#include "pagerenderer.h"
#include "protocol/catalogue.h"
#include "screens/overlays/animationpushviewcontroller.h"
#include "screens/overlays/animationviewcontroller.h"
#include "screens/overlays/clocksetviewcontroller.h"
#include "screens/overlays/spotwordsviewcontroller.h"
#include "store/fmmanager.h"
#include "support/testcontext.h"
#include "ui/uikit.h"

#include <QImage>
#include <gtest/gtest.h>

// Qt Quick's software renderer keeps the textures of pictures it drew until
// the process ends; the leak check would report them as ours. The overlay
// logic is checked for leaks by test_overlays.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

const QColor kBackground(0x3e, 0x96, 0xd1);
constexpr int kBar = 48; // the frame's navigation bar above the page

class OverlayPagesTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        selectServer(QStringLiteral("127.0.0.2"));
        ASSERT_TRUE(FMManager::sharedManagerInstance().insertObjectByUserName(
            QStringLiteral("Default"), QStringLiteral("大厅屏幕"), QStringLiteral("468"), QStringLiteral("01"),
            QStringLiteral("1"), QStringLiteral("127.0.0.2"), QStringLiteral("00000001"), QStringLiteral("1"),
            QStringLiteral("01000000"), QStringLiteral("0")));
    }
    // Renders a screen pushed on the root stack; the picture, or a null one.
    QImage render(KTBaseViewController *screen, const QString &name)
    {
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/overlays/%1.png").arg(name);
        EXPECT_TRUE(PageRenderer::renderScreen(screen, png, &warnings));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        const QImage image(png);
        EXPECT_EQ(image.size(), PageRenderer::kPhone);
        return image;
    }
    static bool isBackground(const QImage &image, int x, int y)
    {
        const QColor c = image.pixelColor(x, y);
        return qAbs(c.red() - kBackground.red()) < 8 && qAbs(c.green() - kBackground.green()) < 8 &&
               qAbs(c.blue() - kBackground.blue()) < 8;
    }
};

TEST_F(OverlayPagesTest, TextPage)
{
    auto *s = new SpotWordsViewController;
    UiKit::shared().navigation().push(s);
    ctx().notices().post(QLatin1String(Catalogue::kSpotWordsReply.notice),
                         QStringLiteral("414e44025401" "01" "05" "0c" "01" "20" "0000" "0064" "0000" "000c"
                                        "e6aca2e8bf8ee58589e4b8b4"));
    ASSERT_EQ(s->contentText(), QStringLiteral("欢迎光临"));
    render(s, QStringLiteral("SpotWordsViewController"));
}

TEST_F(OverlayPagesTest, ClockPageShowsThePictureOfTheChosenClock)
{
    auto *s = new ClockSetViewController;
    UiKit::shared().navigation().push(s);
    const QImage face = render(s, QStringLiteral("ClockSetViewController"));
    ctx().notices().post(QLatin1String(Catalogue::kClockReply.notice),
                         QStringLiteral("414e44025502" "01" "0010" "0020" "00c8" "0064" "01"));
    ASSERT_EQ(s->showImage(), QStringLiteral("device_53"));
    const QImage digits = render(s, QStringLiteral("ClockSetViewController_digital"));
    EXPECT_NE(face, digits);
}

TEST_F(OverlayPagesTest, EffectChooserPage)
{
    auto *chooser = new AnimationViewController;
    UiKit::shared().navigation().push(chooser);
    render(chooser, QStringLiteral("AnimationViewController"));
}

TEST_F(OverlayPagesTest, ThrowingPageHidesThePictureAfterAThrow)
{
    auto *push = new AnimationPushViewController;
    push->setPushType(4);
    push->setPushOrderString(QStringLiteral("414E44015505010300"));
    UiKit::shared().navigation().push(push);
    const QImage before = render(push, QStringLiteral("AnimationPushViewController"));
    // The page told the controller its width: the picture is centred on it.
    EXPECT_EQ(push->viewWidth(), PageRenderer::kPhone.width());
    const int cx = PageRenderer::kPhone.width() / 2, cy = kBar + 415;
    EXPECT_FALSE(isBackground(before, cx, cy));

    push->dragEnded(cx, 100);
    ASSERT_EQ(m_recorder.frames.size(), 1);
    const QImage after = render(push, QStringLiteral("AnimationPushViewController_thrown"));
    EXPECT_TRUE(isBackground(after, cx, cy));
}

} // namespace
