// qeva-remote: the client, a phone-shaped Qt Quick window over the client core.
#include "app/appdelegate.h"
#include "core/appcontext.h"
#include "core/logging.h"
#include "net/requestsender.h"
#include "net/udpsocketcontroller.h"
#include "pagerenderer.h"
#include "qevaversion.h"
#include "qmlshell.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/screenlist.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/screenregistry.h"
#include "ui/uikit.h"
#include "ui/uilanguage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHostAddress>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>

namespace {

struct Options
{
    ContextConfig config;
    QString screenshot;
    int screenshotDelayMs = 0;
    QString renderPage;
    QSize renderSize = PageRenderer::kPhone;
    int quitAfterMs = -1;
};

bool parsePort(const QCommandLineParser &p, const QCommandLineOption &o, quint16 &port, QString &error)
{
    if (!p.isSet(o))
        return true;
    bool ok = false;
    const uint v = p.value(o).toUInt(&ok);
    if (!ok || v == 0 || v > 65535) {
        error = QStringLiteral("--%1 takes a port from 1 to 65535, not \"%2\"").arg(o.names().first(), p.value(o));
        return false;
    }
    port = quint16(v);
    return true;
}

// Parses the command line into options; exits with 2 on an error.
Options parse(const QCoreApplication &app)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Remote control for QEVA video playback servers."));
    p.addHelpOption();
    // Not addVersionOption(): it takes -v, which means verbose in our programs.
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    p.addOption(version);
    const QCommandLineOption bind(QStringLiteral("bind"), QStringLiteral("Address the client's sockets bind to (default 0.0.0.0)."), QStringLiteral("addr"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The client's receiving port (default 5760)."), QStringLiteral("port"));
    const QCommandLineOption serverPort(QStringLiteral("server-port"), QStringLiteral("A server's control port (default 5760)."), QStringLiteral("port"));
    const QCommandLineOption filePort(QStringLiteral("file-port"), QStringLiteral("A server's file port (default 5761)."), QStringLiteral("port"));
    const QCommandLineOption timePort(QStringLiteral("time-port"), QStringLiteral("A server's volume and time port (default 5762)."), QStringLiteral("port"));
    const QCommandLineOption phone(QStringLiteral("phone-address"), QStringLiteral("Use this as the client's own address instead of the one found on the interfaces."), QStringLiteral("addr"));
    const QCommandLineOption mcast(QStringLiteral("multicast-interface"), QStringLiteral("Interface (name or address) to join the group 239.9.9.1 on."), QStringLiteral("iface"));
    const QCommandLineOption docs(QStringLiteral("documents"), QStringLiteral("Folder for the database and the preferences."), QStringLiteral("dir"));
    const QCommandLineOption prefs(QStringLiteral("preferences"), QStringLiteral("Preferences file (default: in the documents folder)."), QStringLiteral("file"));
    const QCommandLineOption shot(QStringLiteral("screenshot"), QStringLiteral("Write the window to this PNG file (after --screenshot-delay)."), QStringLiteral("png"));
    const QCommandLineOption shotDelay(QStringLiteral("screenshot-delay"), QStringLiteral("Milliseconds to wait before --screenshot (default 0)."), QStringLiteral("ms"));
    const QCommandLineOption render(QStringLiteral("render-page"), QStringLiteral("Render one screen's page offscreen to the --screenshot file and exit."), QStringLiteral("class"));
    const QCommandLineOption renderSize(QStringLiteral("render-size"), QStringLiteral("Size of the rendered page, WIDTHxHEIGHT (default 390x844)."), QStringLiteral("size"));
    const QCommandLineOption quitAfter(QStringLiteral("quit-after"), QStringLiteral("Quit after this many milliseconds."), QStringLiteral("ms"));
    p.addOptions({bind, port, serverPort, filePort, timePort, phone, mcast, docs, prefs, shot, shotDelay, render, renderSize, quitAfter});
    p.process(app);
    if (p.isSet(version))
        p.showVersion();

    Options o;
    QString error;
    if (p.isSet(bind)) {
        o.config.bindAddress = QHostAddress(p.value(bind));
        if (o.config.bindAddress.isNull())
            error = QStringLiteral("--bind takes an IPv4 address, not \"%1\"").arg(p.value(bind));
    }
    if (error.isEmpty() && !(parsePort(p, port, o.config.localPort, error) && parsePort(p, serverPort, o.config.serverPort, error)
                             && parsePort(p, filePort, o.config.serverFilePort, error) && parsePort(p, timePort, o.config.serverTimePort, error))) {
    }
    if (error.isEmpty() && p.isSet(phone) && QHostAddress(p.value(phone)).protocol() != QAbstractSocket::IPv4Protocol)
        error = QStringLiteral("--phone-address takes an IPv4 address, not \"%1\"").arg(p.value(phone));
    o.config.phoneAddress = p.value(phone);
    o.config.multicastInterface = p.value(mcast);
    o.config.documentsDir = p.value(docs);
    o.config.preferencesFile = p.value(prefs);
    o.screenshot = p.value(shot);
    o.screenshotDelayMs = p.value(shotDelay).toInt();
    o.renderPage = p.value(render);
    if (error.isEmpty() && p.isSet(renderSize)) {
        const QStringList wh = p.value(renderSize).split(QLatin1Char('x'));
        const int w = wh.value(0).toInt(), h = wh.value(1).toInt();
        if (wh.size() != 2 || w < 100 || h < 100 || w > 8000 || h > 8000)
            error = QStringLiteral("--render-size takes WIDTHxHEIGHT (100 to 8000 each), not \"%1\"").arg(p.value(renderSize));
        else
            o.renderSize = QSize(w, h);
    }
    if (p.isSet(quitAfter))
        o.quitAfterMs = p.value(quitAfter).toInt();
    if (error.isEmpty() && !o.renderPage.isEmpty() && o.screenshot.isEmpty())
        error = QStringLiteral("--render-page needs --screenshot FILE");
    if (!error.isEmpty()) {
        std::fprintf(stderr, "qeva-remote: %s\n\n%s", qPrintable(error), qPrintable(p.helpText()));
        std::exit(2);
    }
    return o;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("qeva-remote"));
    QCoreApplication::setOrganizationName(QStringLiteral("qeva"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEVA_VERSION));

    // The options first, without a display: --help and --version print and
    // exit here, and a bad option exits with 2 before any window is tried.
    Options options;
    {
        QCoreApplication plain(argc, argv);
        options = parse(plain);
    }
    // Rendering a page needs no display either.
    if (!options.renderPage.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen"))
        PageRenderer::useSoftwareRenderer();
    else
        QmlShell::useBasicStyle();
    QGuiApplication app(argc, argv);

    AppContext ctx(options.config);
    registerScreens();
    // Requests leave through the UDP endpoint.
    RequestSender::shared().setSender(&UdpSocketController::shareInstance());
    // Chinese, English or as the system's locale says, before any screen
    // sets its texts (the user's choice is in the preferences).
    UiLanguage::shared().apply();

    if (!options.renderPage.isEmpty()) {
        KTBaseViewController *screen = ScreenRegistry::create(options.renderPage);
        if (!screen) {
            std::fprintf(stderr, "qeva-remote: no screen called %s; these are: %s\n", qPrintable(options.renderPage),
                         qPrintable(ScreenRegistry::names().join(QLatin1String(", "))));
            return 2;
        }
        UiKit::shared().navigation().push(screen);
        QStringList warnings;
        const bool ok = PageRenderer::renderScreen(screen, options.screenshot, &warnings, options.renderSize);
        for (const QString &w : warnings)
            std::fprintf(stderr, "%s\n", qPrintable(w));
        return ok ? 0 : 1;
    }

    // Launch as the phone does: the endpoint, the address, the discovery screen.
    AppDelegate &delegate = AppDelegate::shareAppDelegate();
    delegate.didFinishLaunching();
    // The first screen comes from the layout, not from the delegate.
    UiKit::shared().navigation().push(new ScanDeviceViewController);
    delegate.attachTo(&app);

    QQmlApplicationEngine engine;
    QmlShell::prepare(engine);
    engine.load(QUrl(QStringLiteral("qrc:/Qeva/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;

    if (!options.screenshot.isEmpty()) {
        QTimer::singleShot(options.screenshotDelayMs, &app, [&] {
            auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
            const bool saved = window && window->grabWindow().save(options.screenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "qeva-remote: could not write %s\n", qPrintable(options.screenshot));
        });
    }
    if (options.quitAfterMs >= 0)
        QTimer::singleShot(options.quitAfterMs, &app, &QGuiApplication::quit);
    return app.exec();
}
