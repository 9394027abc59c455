#include "pagerenderer.h"

#include "qmlshell.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/uikit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QThread>
#include <QtQml/qqmlextensionplugin.h>

// The client's two QML modules are linked in statically.
Q_IMPORT_QML_PLUGIN(Qeva_ClientPlugin)
Q_IMPORT_QML_PLUGIN(QevaPlugin)

namespace {

void settle(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool render(const QUrl &source, const QVariantMap &properties, const QString &pngPath, QStringList *warnings, QSize size)
{
    QQmlEngine engine;
    engine.setOutputWarningsToStandardError(false);
    QObject::connect(&engine, &QQmlEngine::warnings, [warnings](const QList<QQmlError> &errors) {
        for (const QQmlError &e : errors)
            if (warnings)
                warnings->append(e.toString());
    });
    QmlShell::prepare(engine);

    QQmlComponent component(&engine, source);
    QObject *object = component.createWithInitialProperties(properties);
    if (!object) {
        for (const QQmlError &e : component.errors())
            if (warnings)
                warnings->append(e.toString());
        return false;
    }
    std::unique_ptr<QObject> owner(object);

    // A frame is an Item: give it a window. A window (the app) is one already.
    std::unique_ptr<QQuickWindow> ownWindow;
    QQuickWindow *window = qobject_cast<QQuickWindow *>(object);
    if (!window) {
        ownWindow = std::make_unique<QQuickWindow>();
        window = ownWindow.get();
        auto *item = qobject_cast<QQuickItem *>(object);
        if (!item)
            return false;
        item->setParentItem(window->contentItem());
        item->setSize(size);
    }
    window->resize(size);
    window->show();
    settle(40); // let transitions and bindings finish
    const QImage image = window->grabWindow();
    window->hide();
    if (image.isNull())
        return false;
    QDir().mkpath(QFileInfo(pngPath).absolutePath());
    return image.save(pngPath, "PNG");
}

} // namespace

void PageRenderer::useSoftwareRenderer()
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QmlShell::useBasicStyle();
}

bool PageRenderer::renderScreen(KTBaseViewController *controller, const QString &pngPath, QStringList *warnings, QSize size)
{
    return render(QUrl(QStringLiteral("qrc:/Qeva/Main.qml")),
                  {{QStringLiteral("capturedScreen"), QVariant::fromValue<QObject *>(controller)}}, pngPath, warnings, size);
}

bool PageRenderer::renderApp(const QString &pngPath, QStringList *warnings, QSize size)
{
    return render(QUrl(QStringLiteral("qrc:/Qeva/Main.qml")), {}, pngPath, warnings, size);
}
