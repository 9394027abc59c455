#include "qmlshell.h"

#include "ui/uikit.h"

#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>

QmlShell::QmlShell(QObject *parent)
    : QObject(parent)
{
}

bool QmlShell::hasPage(const QString &pageName) const
{
    return !pageName.isEmpty() && QFile::exists(QStringLiteral(":/qeva/pages/%1.qml").arg(pageName));
}

QUrl QmlShell::pageUrl(const QString &pageName) const
{
    if (hasPage(pageName))
        return QUrl(QStringLiteral("qrc:/qeva/pages/%1.qml").arg(pageName));
    return QUrl(QStringLiteral("qrc:/qeva/components/MissingPage.qml"));
}

void QmlShell::useBasicStyle()
{
    // The same look everywhere, whatever desktop theme the machine has.
    QQuickStyle::setStyle(QStringLiteral("Basic"));
}

void QmlShell::prepare(QQmlEngine &engine, QmlShell *shell)
{
    engine.rootContext()->setContextProperty(QStringLiteral("shell"), shell);
    engine.rootContext()->setContextProperty(QStringLiteral("uikit"), &UiKit::shared());
}
