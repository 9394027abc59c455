#include <QCoreApplication>
#include <gtest/gtest.h>

// Every test binary runs with a Qt application, so that sockets, timers and
// deferred deletes work as they do in the app.
int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", qgetenv("QEVA_TEST_LOG").isEmpty() ? "qeva.*.info=false" : "");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
