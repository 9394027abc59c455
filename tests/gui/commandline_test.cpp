// qeva-remote from a shell: the help and the version need no display, and
// every screen's page renders by name, the containers and menus included.
#include "qevaversion.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct AppRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The app with no display at all: no X server, no Wayland, the platform
// Qt would pick on a desktop.
AppRun runApp(const QStringList &arguments, bool platformSet = false, const QString &locale = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!locale.isEmpty()) {
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LC_ALL"), locale);
        // The language it starts in, in its own words.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qeva.ui.info=true"));
    }
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (platformSet)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QEVA_REMOTE_BINARY), arguments);
    AppRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(CommandLineTest, HelpAndVersionNeedNoDisplay)
{
    for (bool platformSet : {false, true}) {
        SCOPED_TRACE(platformSet ? "QT_QPA_PLATFORM=xcb" : "no platform set");
        const AppRun help = runApp({QStringLiteral("--help")}, platformSet);
        EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("--render-page"))) << help.out.toStdString();
        const AppRun version = runApp({QStringLiteral("--version")}, platformSet);
        EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
        EXPECT_TRUE(version.out.contains(QStringLiteral("qeva-remote " QEVA_VERSION))) << version.out.toStdString();
    }
    const AppRun bad = runApp({QStringLiteral("--port"), QStringLiteral("70000")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--port"))) << bad.err.toStdString();
}

TEST(CommandLineTest, RenderPageDrawsTheContainerAndTheMenusToo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *page : {"HomeViewController", "SLideZoomMenuController", "SystemViewController",
                             "SystemSetViewController"}) {
        SCOPED_TRACE(page);
        const QString png = dir.filePath(QLatin1String(page) + QStringLiteral(".png"));
        const AppRun r = runApp({QStringLiteral("--documents"), dir.path(), QStringLiteral("--render-page"),
                              QLatin1String(page), QStringLiteral("--screenshot"), png, QStringLiteral("--render-size"),
                              QStringLiteral("1280x800")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(QImage(png).size(), QSize(1280, 800));
    }
    const AppRun unknown = runApp({QStringLiteral("--documents"), dir.path(), QStringLiteral("--render-page"),
                                QStringLiteral("NoSuchViewController"), QStringLiteral("--screenshot"),
                                dir.filePath(QStringLiteral("x.png"))});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("SLideZoomMenuController"))) << unknown.err.toStdString();
}

TEST(CommandLineTest, TheLocaleChoosesTheLanguageAtStartUnlessTheUserChose)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case
    {
        const char *locale;
        const char *stored; // the choice under "语言版本"; empty: none yet
        bool english;
    };
    const Case cases[] = {
        {"en_US.UTF-8", "", true},
        {"zh_CN.UTF-8", "", false},
        {"C", "", false},
        {"en_US.UTF-8", "zh_CN", false},
        {"zh_CN.UTF-8", "en", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.stored);
        QFile prefs(dir.filePath(QStringLiteral("preferences.ini")));
        ASSERT_TRUE(prefs.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (*c.stored)
            prefs.write(QByteArray("[General]\nLanguage=") + c.stored + '\n');
        prefs.close();
        const AppRun r = runApp({QStringLiteral("--documents"), dir.path(), QStringLiteral("--render-page"),
                                 QStringLiteral("SoftInfoViewController"), QStringLiteral("--screenshot"),
                                 dir.filePath(QStringLiteral("info.png"))},
                                false, QLatin1String(c.locale));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.err.contains(QStringLiteral("texts in en")), c.english) << r.err.toStdString();
    }
}

} // namespace
