#include "screens/shell/slidezoommenucontroller.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "screens/shell/systemviewcontroller.h"
#include "ui/ktbasenavigationcontroller.h"

SLideZoomMenuController::SLideZoomMenuController(KTBaseNavigationController *root)
{
    if (root)
        setRootViewController(root);
}

void SLideZoomMenuController::setRootViewController(KTBaseNavigationController *root)
{
    if (!root || m_root) {
        qevaLog(lcScreens, QStringLiteral("container: main content is set once"));
        return;
    }
    m_root = root;
    addChildStack(root);
    if (KTBaseViewController *list = root->root()) {
        QPointer<SLideZoomMenuController> self(this);
        list->configureBarbuttonItemStyle(0, QString(), [self]() {
            if (self)
                self->showLeft();
        });
        list->setupBackButton();
        list->setBackButtonAction([self]() {
            if (self)
                self->goBackAction();
        });
    }
    updateServerListButtons();
    Q_EMIT contentChanged();
}

void SLideZoomMenuController::setLeftViewController(KTBaseViewController *left)
{
    if (!left || m_left) {
        qevaLog(lcScreens, QStringLiteral("container: left panel is set once"));
        return;
    }
    m_left = left;
    addChildScreen(left);
    Q_EMIT contentChanged();
}

void SLideZoomMenuController::viewDidLoad()
{
    context().notices().subscribe(this, QLatin1String(SystemViewController::kTagActionBackNotice),
                                  [this](const QVariant &) { didTagActionBackNotice(); });
}

void SLideZoomMenuController::viewWillAppear()
{
    setNavigationBarHidden(true);
}

void SLideZoomMenuController::showLeft()
{
    m_isShow = !m_isShow;
    updateServerListButtons();
    Q_EMIT isShowChanged();
}

void SLideZoomMenuController::closeIfOpen()
{
    if (m_isShow)
        showLeft();
}

void SLideZoomMenuController::handleTap()
{
    closeIfOpen();
}

void SLideZoomMenuController::didTagActionBackNotice()
{
    closeIfOpen();
}

void SLideZoomMenuController::handlePan(qreal dx)
{
    if (dx >= kSwipeDistance && !m_isShow)
        showLeft();
    else if (dx <= -kSwipeDistance && m_isShow)
        showLeft();
}

void SLideZoomMenuController::goBackAction()
{
    if (KTBaseNavigationController *nav = navigationController())
        nav->popToRoot();
}

void SLideZoomMenuController::updateServerListButtons()
{
    if (m_root && m_root->root())
        m_root->root()->setBackButtonEnabled(!m_isShow);
}
