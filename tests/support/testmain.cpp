#include "screens/screenlist.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

// Every test binary runs with a Qt application, so that sockets, timers,
// pictures and (for the page tests) offscreen windows work as in the app,
// and with every screen known by its class name, as in the app.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QT_QUICK_CONTROLS_STYLE", "Basic");
    if (qEnvironmentVariableIsEmpty("QEVA_TEST_LOG"))
        qputenv("QT_LOGGING_RULES", "qeva.*.info=false;qeva.*.debug=false");
    QGuiApplication app(argc, argv);
    registerScreens();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
