#include "screens/shell/screenopener.h"

#include "core/logging.h"
#include "core/logsink.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"
#include "ui/screenregistry.h"

#include <QCoreApplication>

namespace ScreenOpener {

KTBaseViewController *pushScreenNamed(KTBaseNavigationController *nav, const QString &className)
{
    if (!nav) {
        qevaLog(lcScreens, QStringLiteral("no navigation to open %1 on").arg(className));
        return nullptr;
    }
    KTBaseViewController *screen = ScreenRegistry::create(className);
    if (!screen) {
        qevaLog(lcScreens, QStringLiteral("screen %1 is not available").arg(className));
        PopupCenter::shared().showError(QCoreApplication::translate("ScreenOpener", "该功能暂不可用"));
        return nullptr;
    }
    if (!nav->push(screen)) {
        delete screen;
        return nullptr;
    }
    return screen;
}

} // namespace ScreenOpener
