// A user's way from the discovery screen to playing a file, with clicks
// and keys only, against the simulator; screenshots of each step go to
// screenshots/walk/.
#include "gui/guifixture.h"
#include "screens/discovery/scandeviceviewcontroller.h"

#include <QDir>

namespace {

class WalkTest : public GuiTest
{
protected:
    void shot(const char *name)
    {
        app().settle();
        const QString dir = QStringLiteral(QEVA_SCREENSHOT_DIR "/walk");
        QDir().mkpath(dir);
        EXPECT_TRUE(app().window()->grabWindow().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }
};

TEST_F(WalkTest, FromDiscoveryToPlayingAFile)
{
    playlists().addFile(1, QStringLiteral("/media/开场动画.mp4"));
    playlists().addFile(1, QStringLiteral("/media/产品介绍.mp4"));
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("扫描服务端设备")); }));
    EXPECT_TRUE(app().warnings().isEmpty()) << app().warnings().join('\n').toStdString();
    shot("1-discovery");

    // The user's name, typed in, is what the login carries.
    QQuickItem *name = app().find(QStringLiteral("userNameField"));
    ASSERT_TRUE(name);
    ASSERT_TRUE(app().click(name));
    app().key(Qt::Key_A, Qt::ControlModifier);
    app().type(QStringLiteral("walker"));
    EXPECT_EQ(m_scan->userName(), QStringLiteral("walker"));

    ASSERT_TRUE(app().clickText(QStringLiteral("扫描服务端设备")));
    ASSERT_TRUE(m_scan->isScanning());
    m_sim->announceNow();
    ASSERT_TRUE(waitUntil([&] { return m_scan->deviceCount() == 1; }));
    shot("2-scanning");
    clock().advance(10000);
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("演示服务器")); }));
    shot("3-server-list");

    ASSERT_TRUE(app().clickText(QStringLiteral("演示服务器")));
    // The prompt takes the keys: Enter confirms the password it shows.
    QQuickItem *password = nullptr;
    ASSERT_TRUE(app().waitFor([&] { return (password = app().find(QStringLiteral("passwordField"))) && password->isVisible(); }));
    EXPECT_TRUE(app().waitFor([&] { return password->hasActiveFocus(); }));
    shot("4-password");
    app().key(Qt::Key_Return);
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("视频窗口_01")); }));
    ASSERT_TRUE(app().clickText(QStringLiteral("视频窗口_01")));
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("视频播放控制")); }));
    shot("5-function-menu");

    ASSERT_TRUE(app().clickText(QStringLiteral("视频播放控制")));
    ASSERT_TRUE(app().waitFor([&] { return app().findText(QStringLiteral("产品介绍.mp4")); }));
    app().settle();
    shot("6-play-control");
    ASSERT_TRUE(app().clickText(QStringLiteral("播放")));
    EXPECT_TRUE(received(QStringLiteral("414e440157040100")));

    // The next announcement is answered with a login that carries the
    // typed name, to the server now chosen.
    m_sim->announceNow();
    EXPECT_TRUE(waitUntil([&] {
        for (const QString &l : m_sim->logLines())
            if (l.startsWith(QStringLiteral("login user")) && l.contains(QStringLiteral("name \"walker\"")))
                return true;
        return false;
    }));
}

} // namespace
