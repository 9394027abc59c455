// Every registered screen's page loads offscreen without a QML warning or
// error, at a phone's, a laptop's and a desktop's size, and is written to a
// PNG for a person to look at (screenshots/pages/<width>x<height>/).
#include "pagerenderer.h"
#include "qmlshell.h"
#include "support/testcontext.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/screenregistry.h"
#include "ui/uikit.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> screenNames()
{
    std::vector<std::string> out;
    for (const QString &n : ScreenRegistry::names())
        out.push_back(n.toStdString());
    return out;
}

class PageTest : public ContextTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(PageTest, RendersWithoutWarningsAtEachSize)
{
    const QString name = QString::fromStdString(GetParam());
    EXPECT_TRUE(QmlShell().hasPage(name)) << "no page written for this screen";
    for (const QSize size : {PageRenderer::kPhone, PageRenderer::kLaptop, PageRenderer::kDesktop}) {
        SCOPED_TRACE(size.width());
        KTBaseViewController *screen = ScreenRegistry::create(name);
        ASSERT_NE(screen, nullptr);
        // Below another screen, as every working screen stands (it gets its back button).
        ASSERT_TRUE(UiKit::shared().navigation().push(new KTBaseViewController));
        ASSERT_TRUE(UiKit::shared().navigation().push(screen));
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/pages/%1x%2/%3.png")
                                .arg(size.width()).arg(size.height()).arg(name);
        ASSERT_TRUE(PageRenderer::renderScreen(screen, png, &warnings, size));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        EXPECT_EQ(QImage(png).size(), size);
        UiKit::shared().navigation().popToRoot();
    }
}

INSTANTIATE_TEST_SUITE_P(Registered, PageTest, ::testing::ValuesIn(screenNames()),
                         [](const auto &info) { return info.param; });

class AppWindowTest : public ContextTest {};

TEST_F(AppWindowTest, RendersEmptyWithoutWarnings)
{
    QStringList warnings;
    EXPECT_TRUE(PageRenderer::renderApp(QStringLiteral(QEVA_SCREENSHOT_DIR "/app-empty.png"), &warnings));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

} // namespace
