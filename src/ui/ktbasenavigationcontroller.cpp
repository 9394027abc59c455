#include "ui/ktbasenavigationcontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"

namespace {
// Hooks that keep pushing and popping each other would otherwise never let
// the stack settle.
constexpr int kMaxSettleSteps = 10000;
}

KTBaseNavigationController::KTBaseNavigationController(QObject *parent)
    : QObject(parent)
{
}

KTBaseNavigationController::KTBaseNavigationController(KTBaseViewController *root, QObject *parent)
    : QObject(parent)
{
    push(root);
}

KTBaseNavigationController::~KTBaseNavigationController()
{
    // Delete the screens while our members still exist: their destroyed
    // signals come back to forget().
    m_dying = true;
    const auto all = m_screens + m_leaving;
    m_screens.clear();
    m_leaving.clear();
    for (const QPointer<KTBaseViewController> &s : all)
        delete s.data();
}

bool KTBaseNavigationController::push(KTBaseViewController *screen)
{
    if (!screen || m_dying)
        return false;
    if (screen->m_navigation || screen->m_parentScreen || m_leaving.contains(screen)) {
        qCWarning(lcUi) << "push refused: screen already has a place" << screen->pageName();
        return false;
    }
    screen->setParent(this);
    screen->m_navigation = this;
    screen->setHidesBottomBarWhenPushed(!m_screens.isEmpty());
    connect(screen, &QObject::destroyed, this, &KTBaseNavigationController::forget, Qt::UniqueConnection);
    m_screens.append(screen);
    Q_EMIT pushed(screen);
    Q_EMIT changed();
    settle();
    return true;
}

bool KTBaseNavigationController::pop()
{
    return removeAbove(count() - 2);
}

bool KTBaseNavigationController::popToRoot()
{
    return removeAbove(0);
}

bool KTBaseNavigationController::popTo(KTBaseViewController *screen)
{
    const int index = indexOf(screen);
    if (index < 0)
        return false;
    return removeAbove(index);
}

bool KTBaseNavigationController::removeAbove(int index)
{
    if (index < 0 || index >= count() - 1)
        return false;
    QList<QPointer<KTBaseViewController>> removed;
    while (count() > index + 1)
        removed.append(m_screens.takeLast());
    for (const QPointer<KTBaseViewController> &s : removed) {
        if (!s)
            continue;
        // The popped screen hears nothing more, even before it is deleted.
        s->context().notices().unsubscribe(s);
        m_leaving.append(s);
        Q_EMIT popped(s);
    }
    Q_EMIT changed();
    settle();
    return true;
}

KTBaseViewController *KTBaseNavigationController::top() const
{
    return m_screens.isEmpty() ? nullptr : m_screens.last().data();
}

KTBaseViewController *KTBaseNavigationController::root() const
{
    return m_screens.isEmpty() ? nullptr : m_screens.first().data();
}

KTBaseViewController *KTBaseNavigationController::at(int index) const
{
    return index >= 0 && index < count() ? m_screens.at(index).data() : nullptr;
}

int KTBaseNavigationController::indexOf(const KTBaseViewController *screen) const
{
    if (!screen)
        return -1;
    for (int i = 0; i < count(); ++i)
        if (m_screens.at(i).data() == screen)
            return i;
    return -1;
}

QList<KTBaseViewController *> KTBaseNavigationController::screenList() const
{
    QList<KTBaseViewController *> out;
    for (const QPointer<KTBaseViewController> &s : m_screens)
        out.append(s.data());
    return out;
}

QObjectList KTBaseNavigationController::screenObjects() const
{
    QObjectList out;
    for (const QPointer<KTBaseViewController> &s : m_screens)
        out.append(s.data());
    return out;
}

void KTBaseNavigationController::setNavigationBarHidden(bool hidden)
{
    if (m_navigationBarHidden == hidden)
        return;
    m_navigationBarHidden = hidden;
    Q_EMIT navigationBarHiddenChanged();
}

bool KTBaseNavigationController::isInView() const
{
    return m_host.isNull() || m_host->isAppeared();
}

void KTBaseNavigationController::settle()
{
    for (int step = 0; step < kMaxSettleSteps; ++step) {
        if (m_dying)
            return;
        // Screens that left the stack: out of view first, then gone.
        if (!m_leaving.isEmpty()) {
            QPointer<KTBaseViewController> s = m_leaving.takeFirst();
            if (!s)
                continue;
            s->leaveView();
            if (!s)
                continue;
            s->m_navigation = nullptr;
            s->deleteLater();
            continue;
        }
        const bool inView = isInView();
        KTBaseViewController *topScreen = top();
        // Covered screens, or all of them when the stack is hidden.
        KTBaseViewController *covered = nullptr;
        for (const QPointer<KTBaseViewController> &s : m_screens) {
            if (s && s->isAppeared() && (s != topScreen || !inView)) {
                covered = s;
                break;
            }
        }
        if (covered) {
            covered->leaveView();
            continue;
        }
        if (inView && topScreen && !topScreen->isAppeared()) {
            // Load and appear are separate steps: a load hook may push.
            if (!topScreen->isViewLoaded())
                topScreen->loadView();
            else
                topScreen->enterView();
            continue;
        }
        return;
    }
    qCWarning(lcUi) << "navigation hooks did not settle; the hooks keep pushing and popping";
}

void KTBaseNavigationController::forget(QObject *screen)
{
    if (m_dying)
        return;
    bool wasInStack = false;
    for (int i = int(m_screens.size()) - 1; i >= 0; --i) {
        // The pointer is already null here; match the raw address too.
        if (m_screens.at(i).isNull() || m_screens.at(i).data() == screen) {
            m_screens.removeAt(i);
            wasInStack = true;
        }
    }
    m_leaving.removeIf([](const QPointer<KTBaseViewController> &s) { return s.isNull(); });
    if (wasInStack) {
        Q_EMIT changed();
        settle();
    }
}
