#include "ui/ktbasetableviewcontroller.h"

#include "core/logging.h"
#include "ui/ktbasenavigationcontroller.h"

KTBaseTableViewController::KTBaseTableViewController(QObject *parent)
    : KTBaseViewController(parent)
{
}

void KTBaseTableViewController::setDataSource(const QVariantList &rows)
{
    m_dataSource = rows;
    Q_EMIT dataSourceChanged();
}

bool KTBaseTableViewController::pushNewViewController(KTBaseViewController *screen)
{
    if (!screen)
        return false;
    KTBaseNavigationController *nav = navigationController();
    if (nav && nav->push(screen))
        return true;
    qCWarning(lcUi) << pageName() << "could not push" << screen->pageName();
    if (!screen->parent())
        delete screen;
    return false;
}

void KTBaseTableViewController::reloadData()
{
    Q_EMIT dataReloaded();
}
