#include "ui/ktbaseviewcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"
#include "ui/uilanguage.h"

KTBaseViewController::KTBaseViewController(QObject *parent)
    : QObject(parent)
    , m_ctx(AppContext::current())
{
    if (!m_ctx)
        qFatal("KTBaseViewController: a screen needs a living AppContext");
    m_ctx->notices().subscribe(this, QLatin1String(UiLanguage::kLanguageChangedNotice), [this](const QVariant &) {
        retranslate();
        Q_EMIT languageChanged();
    });
}

KTBaseViewController::~KTBaseViewController() = default;

PopupCenter &KTBaseViewController::popups() const
{
    return m_ctx->shared<PopupCenter>();
}

AlertCenter &KTBaseViewController::alerts() const
{
    return m_ctx->shared<AlertCenter>();
}

void KTBaseViewController::setTitle(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    Q_EMIT titleChanged();
}

QString KTBaseViewController::pageName() const
{
    // Subclasses carry Q_OBJECT, so this is the screen's own class name.
    return m_pageName.isEmpty() ? QString::fromLatin1(metaObject()->className()) : m_pageName;
}

void KTBaseViewController::setServerIP(const QString &ip)
{
    if (m_serverIP == ip)
        return;
    m_serverIP = ip;
    Q_EMIT serverIPChanged();
}

KTBaseNavigationController *KTBaseViewController::navigationController() const
{
    if (m_navigation)
        return m_navigation;
    if (m_parentScreen)
        return m_parentScreen->navigationController();
    return nullptr;
}

void KTBaseViewController::setNavigationBarHidden(bool hidden)
{
    if (KTBaseNavigationController *nav = navigationController())
        nav->setNavigationBarHidden(hidden);
}

void KTBaseViewController::addChildScreen(KTBaseViewController *child)
{
    if (!child || child == this || m_childScreens.contains(child))
        return;
    if (child->m_navigation || child->m_parentScreen) {
        qCWarning(lcUi) << "addChildScreen: screen already has a place" << child->pageName();
        return;
    }
    child->setParent(this);
    child->m_parentScreen = this;
    m_childScreens.append(child);
    if (m_appeared)
        forwardAppearance();
}

void KTBaseViewController::addChildStack(KTBaseNavigationController *stack)
{
    if (!stack || m_childStacks.contains(stack))
        return;
    if (stack->m_host) {
        qCWarning(lcUi) << "addChildStack: stack already held by" << stack->m_host->pageName();
        return;
    }
    stack->setParent(this);
    stack->m_host = this;
    m_childStacks.append(stack);
    stack->settle();
}

void KTBaseViewController::setBackButtonEnabled(bool enabled)
{
    if (m_backButtonEnabled == enabled)
        return;
    m_backButtonEnabled = enabled;
    Q_EMIT backButtonChanged();
}

void KTBaseViewController::setupBackButton()
{
    if (m_hasBackButton)
        return;
    m_hasBackButton = true;
    Q_EMIT backButtonChanged();
}

void KTBaseViewController::setBackButtonAction(std::function<void()> action)
{
    m_backButtonAction = std::move(action);
}

void KTBaseViewController::backButtonTapped()
{
    if (!m_hasBackButton || !m_backButtonEnabled)
        return;
    if (m_backButtonAction) {
        auto action = m_backButtonAction; // may replace itself
        action();
        return;
    }
    goBackAction();
}

void KTBaseViewController::goBackAction()
{
    KTBaseNavigationController *nav = navigationController();
    if (!nav)
        return;
    // One screen back from this one, even if something was pushed above it.
    const int index = m_navigation ? nav->indexOf(this) : -1;
    if (index > 0)
        nav->popTo(nav->at(index - 1));
    else if (index < 0)
        nav->pop();
}

void KTBaseViewController::configureBarbuttonItemStyle(int style, const QString &title, std::function<void()> action)
{
    m_hasRightBarButton = true;
    m_rightBarButtonStyle = qBound(0, style, 4);
    m_rightBarButtonTitle = title;
    m_barbuttonItemAction = std::move(action);
    Q_EMIT rightBarButtonChanged();
}

void KTBaseViewController::setRightBarButtonTitle(const QString &title)
{
    if (m_rightBarButtonTitle == title)
        return;
    m_rightBarButtonTitle = title;
    Q_EMIT rightBarButtonChanged();
}

void KTBaseViewController::clickedBarButtonItemAction()
{
    if (!m_barbuttonItemAction)
        return;
    auto action = m_barbuttonItemAction; // may reconfigure the button
    action();
}

void KTBaseViewController::alert(const QString &title, const QString &message, const QStringList &buttons,
                                 std::function<void(int)> callback)
{
    alerts().alert(title, message, buttons, this, std::move(callback));
}

void KTBaseViewController::actionSheet(const QString &title, const QStringList &buttons,
                                       std::function<void(int)> callback)
{
    alerts().actionSheet(title, buttons, this, std::move(callback));
}

void KTBaseViewController::setHidesBottomBarWhenPushed(bool hides)
{
    if (m_hidesBottomBar == hides)
        return;
    m_hidesBottomBar = hides;
    Q_EMIT hidesBottomBarWhenPushedChanged();
}

void KTBaseViewController::loadView()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_navigation && m_navigation->indexOf(this) > 0)
        setupBackButton();
    viewDidLoad();
    Q_EMIT viewLoadedChanged();
}

void KTBaseViewController::enterView()
{
    if (m_appeared)
        return;
    m_appeared = true;
    Q_EMIT appearedChanged();
    viewWillAppear();
    forwardAppearance();
}

void KTBaseViewController::leaveView()
{
    if (!m_appeared)
        return;
    m_appeared = false;
    Q_EMIT appearedChanged();
    viewWillDisappear();
    forwardAppearance();
}

void KTBaseViewController::forwardAppearance()
{
    // Copies: a hook may add children or delete them.
    const auto screens = m_childScreens;
    for (const QPointer<KTBaseViewController> &child : screens) {
        if (!child || child->m_parentScreen != this)
            continue;
        if (m_appeared && !child->m_appeared) {
            child->loadView();
            if (child && m_appeared && !child->m_appeared)
                child->enterView();
        } else if (!m_appeared && child->m_appeared) {
            child->leaveView();
        }
    }
    const auto stacks = m_childStacks;
    for (const QPointer<KTBaseNavigationController> &stack : stacks) {
        if (stack)
            stack->settle();
    }
    m_childScreens.removeAll(nullptr);
    m_childStacks.removeAll(nullptr);
}
