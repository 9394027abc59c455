// The app against the simulator on loopback, rendered at each step of the
// way in: discovery, the server list, the password prompt, an unlocked
// server, the side menu, the function menu.
#include "gui/guifixture.h"
#include "pagerenderer.h"
#include "screens/discovery/homeviewcontroller.h"
#include "screens/shell/functionviewcontroller.h"

#include <QImage>

namespace {

class AppFlowTest : public GuiTest
{
protected:
    void shot(const char *name)
    {
        QStringList warnings;
        const QString png = QStringLiteral(QEVA_SCREENSHOT_DIR "/flow/%1.png").arg(QLatin1String(name));
        ASSERT_TRUE(PageRenderer::renderApp(png, &warnings)) << name;
        EXPECT_TRUE(warnings.isEmpty()) << name << ": " << warnings.join('\n').toStdString();
        EXPECT_EQ(QImage(png).size(), PageRenderer::kPhone);
    }
};

TEST_F(AppFlowTest, FromDiscoveryToTheFunctionMenu)
{
    KTBaseNavigationController &nav = UiKit::shared().navigation();
    ScanDeviceViewController *scan = m_scan;
    shot("1-discovery");

    scan->scanButtonAction();
    m_sim->announceNow();
    ASSERT_TRUE(waitUntil([&] { return scan->deviceCount() == 1; }));
    clock().advance(4000);
    shot("2-scanning");

    clock().advance(6000);
    auto *slider = qobject_cast<SLideZoomMenuController *>(nav.top());
    ASSERT_TRUE(slider);
    auto *home = qobject_cast<HomeViewController *>(slider->rootViewController()->root());
    ASSERT_TRUE(home);
    shot("3-server-list");

    home->tapAction(0);
    ASSERT_TRUE(home->isPasswordPromptVisible());
    shot("4-password-prompt");

    home->passwordCheck(); // the prompt is pre-filled with 468
    ASSERT_FALSE(home->isPasswordPromptVisible());
    shot("5-server-unlocked");

    slider->showLeft();
    ASSERT_TRUE(slider->isShow());
    shot("6-side-menu");
    slider->showLeft();

    home->didSelectRowAtIndexPath(0, 0);
    ASSERT_TRUE(qobject_cast<FunctionViewController *>(slider->rootViewController()->top()));
    shot("7-function-menu");
}

} // namespace
