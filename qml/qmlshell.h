#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QQmlEngine;

// What every QML file may ask of the app: where a controller's page is, and
// the UI kit of the current context ("uikit"). Pages render controllers and
// forward actions; they hold no protocol or state logic.
class QmlShell : public QObject
{
    Q_OBJECT
public:
    explicit QmlShell(QObject *parent = nullptr);

    // The page of a screen class, or the page that says it has none yet.
    Q_INVOKABLE QUrl pageUrl(const QString &pageName) const;
    Q_INVOKABLE bool hasPage(const QString &pageName) const;

    // Sets up an engine: style, the "shell" and "uikit" context properties.
    static void prepare(QQmlEngine &engine, QmlShell *shell);
    static void useBasicStyle();
};
