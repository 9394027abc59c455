#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class AppContext;
class AlertCenter;
class KTBaseNavigationController;
class PopupCenter;

// The base of every screen controller. A screen is headless: it owns its
// state and exposes what the page shows as properties; the page forwards
// taps to its invokable operations. The stack it lives in drives the hooks.
class KTBaseViewController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString pageName READ pageName CONSTANT)
    Q_PROPERTY(QString serverIP READ serverIP WRITE setServerIP NOTIFY serverIPChanged)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor CONSTANT)
    Q_PROPERTY(bool viewLoaded READ isViewLoaded NOTIFY viewLoadedChanged)
    Q_PROPERTY(bool appeared READ isAppeared NOTIFY appearedChanged)
    Q_PROPERTY(bool hasBackButton READ hasBackButton NOTIFY backButtonChanged)
    Q_PROPERTY(bool backButtonEnabled READ isBackButtonEnabled WRITE setBackButtonEnabled NOTIFY backButtonChanged)
    Q_PROPERTY(bool hasRightBarButton READ hasRightBarButton NOTIFY rightBarButtonChanged)
    Q_PROPERTY(int rightBarButtonStyle READ rightBarButtonStyle NOTIFY rightBarButtonChanged)
    Q_PROPERTY(QString rightBarButtonTitle READ rightBarButtonTitle NOTIFY rightBarButtonChanged)
    Q_PROPERTY(bool hidesBottomBarWhenPushed READ hidesBottomBarWhenPushed NOTIFY hidesBottomBarWhenPushedChanged)

public:
    explicit KTBaseViewController(QObject *parent = nullptr);
    ~KTBaseViewController() override;

    AppContext &context() const { return *m_ctx; }
    PopupCenter &popups() const;
    AlertCenter &alerts() const;

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString pageName() const;
    QString serverIP() const { return m_serverIP; }
    void setServerIP(const QString &ip);
    static QColor backgroundColor() { return QColor(62, 150, 209); }

    bool isViewLoaded() const { return m_loaded; }
    bool isAppeared() const { return m_appeared; }

    // The stack this screen is in; a screen embedded in another one (a
    // side menu, say) reaches the stack of the screen that holds it.
    KTBaseNavigationController *navigationController() const;
    KTBaseViewController *parentScreen() const { return m_parentScreen; }
    // Shorthand for the bar of navigationController(); no-op outside a stack.
    void setNavigationBarHidden(bool hidden);

    // Containment: the child follows this screen in and out of view.
    // Both take ownership.
    void addChildScreen(KTBaseViewController *child);
    void addChildStack(KTBaseNavigationController *stack);

    // Back button: given at load to every screen that is not the first of
    // its stack. Its tap returns one screen unless another action is set.
    bool hasBackButton() const { return m_hasBackButton; }
    bool isBackButtonEnabled() const { return m_backButtonEnabled; }
    void setBackButtonEnabled(bool enabled);
    void setupBackButton();
    void setBackButtonAction(std::function<void()> action);
    Q_INVOKABLE void backButtonTapped();
    Q_INVOKABLE virtual void goBackAction();

    // Right bar button: looks 0 to 4, a title, and the action of its tap.
    void configureBarbuttonItemStyle(int style, const QString &title, std::function<void()> action);
    // Another title for the same button (another language, another state).
    void setRightBarButtonTitle(const QString &title);
    bool hasRightBarButton() const { return m_hasRightBarButton; }
    int rightBarButtonStyle() const { return m_rightBarButtonStyle; }
    QString rightBarButtonTitle() const { return m_rightBarButtonTitle; }
    const std::function<void()> &barbuttonItemAction() const { return m_barbuttonItemAction; }
    Q_INVOKABLE void clickedBarButtonItemAction();

    bool hidesBottomBarWhenPushed() const { return m_hidesBottomBar; }

    // Alerts and choice sheets whose answer comes back only while this
    // screen lives.
    void alert(const QString &title, const QString &message, const QStringList &buttons,
               std::function<void(int)> callback);
    void actionSheet(const QString &title, const QStringList &buttons, std::function<void(int)> callback);

Q_SIGNALS:
    void titleChanged();
    void serverIPChanged();
    void viewLoadedChanged();
    void appearedChanged();
    void backButtonChanged();
    void rightBarButtonChanged();
    void hidesBottomBarWhenPushedChanged();
    // After retranslate(): texts the screen reads at the time they are
    // asked for (not held) are NOTIFY languageChanged.
    void languageChanged();

protected:
    // Once, before the screen first comes into view.
    virtual void viewDidLoad() {}
    // Each time the screen is about to come into view.
    virtual void viewWillAppear() {}
    // Each time it is about to be covered, popped or hidden with its holder.
    virtual void viewWillDisappear() {}
    // The user chose another language: sets again, from the screen's state,
    // every text the screen holds (title, bar button, rows, choices of its
    // fields). Called on every living screen, loaded or not; screens call
    // it themselves where they first set those texts.
    virtual void retranslate() {}

    void setPageName(const QString &name) { m_pageName = name; }

private:
    friend class KTBaseNavigationController;

    void loadView();
    void enterView();
    void leaveView();
    void forwardAppearance();
    void setHidesBottomBarWhenPushed(bool hides);

    AppContext *m_ctx;
    QString m_title;
    QString m_pageName;
    QString m_serverIP;
    bool m_loaded = false;
    bool m_appeared = false;
    QPointer<KTBaseNavigationController> m_navigation;
    QPointer<KTBaseViewController> m_parentScreen;
    QList<QPointer<KTBaseViewController>> m_childScreens;
    QList<QPointer<KTBaseNavigationController>> m_childStacks;
    bool m_hasBackButton = false;
    bool m_backButtonEnabled = true;
    std::function<void()> m_backButtonAction;
    bool m_hasRightBarButton = false;
    int m_rightBarButtonStyle = 0;
    QString m_rightBarButtonTitle;
    std::function<void()> m_barbuttonItemAction;
    bool m_hidesBottomBar = false;
};
