#pragma once

#include <QObject>
#include <QQuickWindow>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class KTBaseViewController;
class QQmlEngine;

// What every QML file may ask of the app, as the singleton Shell: where a
// controller's page is, and the keyboard's way through the screens. Pages
// render controllers and forward actions; they hold no protocol or state
// logic.
class QmlShell : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(Shell)
    QML_SINGLETON

public:
    explicit QmlShell(QObject *parent = nullptr);

    // The page of a screen class, or the page that says it has none yet.
    Q_INVOKABLE QUrl pageUrl(const QString &pageName) const;
    Q_INVOKABLE bool hasPage(const QString &pageName) const;
    // The picture of the client's resources by name ("vedio_14").
    Q_INVOKABLE QUrl imageUrl(const QString &name) const;

    // Esc and Alt+Left: one step back as the user sees the screens: closes
    // the open side menu, else taps the back button of the screen in front
    // when it has an enabled one. False when there was nothing to do.
    Q_INVOKABLE bool goBack();
    // The screen whose page is in front: the top of the root stack, or of
    // the side-menu container's stack when that is on top.
    static KTBaseViewController *frontScreen();

    // Enter and Return press the focused button as Space does; the window
    // keeps this for its life.
    Q_INVOKABLE void pressButtonsWithEnter(QQuickWindow *window);

    // Sets up an engine for the client's modules; it follows the current
    // context's language.
    static void prepare(QQmlEngine &engine);
    static void useBasicStyle();
};
