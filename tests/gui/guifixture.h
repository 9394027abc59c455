#pragma once

// The app's window against the simulator on loopback: real sockets, the
// manual clock for the client's timers, the discovery screen at the bottom
// of the root stack as in the app.

#include "app/appdelegate.h"
#include "gui/appwindow.h"
#include "playlistfamily.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "session/commonmanager.h"
#include "sim/simfixture.h"
#include "store/fmmanager.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/screenregistry.h"
#include "ui/uikit.h"

#include <gtest/gtest.h>

class GuiTest : public ContextTest
{
protected:
    GuiTest() { m_useRecorder = false; }

public: // table-driven cases call these from outside the test body

    void configure(ContextConfig &c) override
    {
        m_simConfig = loopbackSimConfig(c.localPort);
        m_simConfig.name = QStringLiteral("演示服务器");
        m_simConfig.password = QStringLiteral("468");
        m_simConfig.windows = {SimWindow{0x01}, SimWindow{0x02}};
        c.serverPort = m_simConfig.udpPort;
        c.serverTimePort = m_simConfig.timePort;
        c.serverFilePort = m_simConfig.tcpPort;
    }
    void SetUp() override
    {
        ContextTest::SetUp();
        m_sim = std::make_unique<SimServer>(m_simConfig);
        ASSERT_TRUE(m_sim->start()) << m_sim->errorString().toStdString();
        launching();
        ASSERT_TRUE(AppDelegate::shareAppDelegate().didFinishLaunching());
        m_scan = new ScanDeviceViewController;
        ASSERT_TRUE(nav().push(m_scan));
    }
    void TearDown() override
    {
        closeApp();
        nav().popToRoot();
        m_sim.reset();
        ContextTest::TearDown();
    }

    // Closes the window; whatever QML said on the way (a TypeError in a
    // handler, a binding to nothing) fails the test.
    void closeApp()
    {
        if (m_app) {
            EXPECT_TRUE(m_app->warnings().isEmpty()) << m_app->warnings().join('\n').toStdString();
        }
        m_app.reset();
    }
    // What the app does at start before the first screen (the language, say).
    virtual void launching() {}
    KTBaseNavigationController &nav() { return UiKit::shared().navigation(); }
    AppWindow &app()
    {
        if (!m_app)
            m_app = std::make_unique<AppWindow>();
        return *m_app;
    }
    PlayListFamily &playlists() { return *m_sim->family<PlayListFamily>(); }

    // The simulator recorded in the database and chosen with its window 01,
    // as after a scan and a tap on "视频窗口_01".
    void chooseServer()
    {
        m_sim->announceNow();
        ASSERT_TRUE(waitUntil([] { return !FMManager::sharedManagerInstance().selectAllUserInfoDatas().isEmpty(); }));
        CommonManager &cm = CommonManager::sharedManager();
        cm.currentSelectDev = FMManager::sharedManagerInstance().selectAllUserInfoDatas().constFirst();
        cm.currentWindowID = QStringLiteral("01");
    }
    // The side-menu container as a scan leaves it, pushed on the discovery screen.
    SLideZoomMenuController *openContainer()
    {
        auto *container = qobject_cast<SLideZoomMenuController *>(
            ScreenRegistry::create(QStringLiteral("SLideZoomMenuController")));
        EXPECT_TRUE(container && nav().push(container));
        return container;
    }
    template <class T> T *push(T *screen, KTBaseNavigationController *on = nullptr)
    {
        EXPECT_TRUE((on ? on : &nav())->push(screen));
        return screen;
    }

    // A request the simulator received, as it logs it: "<code> <hex>".
    bool received(const QString &hex, int ms = 3000)
    {
        return waitForLine(*m_sim, hex.mid(8, 4) + QLatin1Char(' ') + hex, ms);
    }
    // How often the simulator received exactly this frame.
    int countLine(const QString &hex) const
    {
        return int(m_sim->logLines().count(hex.mid(8, 4) + QLatin1Char(' ') + hex));
    }
    int receivedCount(const QString &code) const
    {
        int n = 0;
        for (const QString &line : m_sim->logLines())
            n += line.startsWith(code + QLatin1Char(' ')) ? 1 : 0;
        return n;
    }

    SimConfig m_simConfig;
    std::unique_ptr<SimServer> m_sim;
    ScanDeviceViewController *m_scan = nullptr;
    std::unique_ptr<AppWindow> m_app;
};
