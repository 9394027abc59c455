// Every registered screen's page loads offscreen without a QML warning or
// error, and is written to a PNG for a person to look at.
#include "pagerenderer.h"
#include "qmlshell.h"
#include "support/testcontext.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/screenregistry.h"
#include "ui/uikit.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

class PagesTest : public ContextTest {};

TEST_F(PagesTest, EveryScreenRendersWithoutWarnings)
{
    const QStringList names = ScreenRegistry::names();
    ASSERT_FALSE(names.isEmpty());
    QmlShell shell;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        KTBaseViewController *screen = ScreenRegistry::create(name);
        ASSERT_NE(screen, nullptr);
        ASSERT_TRUE(UiKit::shared().navigation().push(screen));
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/pages/%1.png").arg(name);
        EXPECT_TRUE(PageRenderer::renderScreen(screen, png, &warnings));
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
        EXPECT_TRUE(shell.hasPage(name)) << "no page written for this screen yet";
        const QImage image(png);
        EXPECT_EQ(image.size(), PageRenderer::kPhone);
        UiKit::shared().navigation().popToRoot();
    }
}

TEST_F(PagesTest, TheAppWindowRenders)
{
    QStringList warnings;
    const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/app.png");
    EXPECT_TRUE(PageRenderer::renderApp(png, &warnings));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

} // namespace
