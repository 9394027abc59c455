#include "screens/shell/screenopener.h"

#include "core/logging.h"
#include "core/logsink.h"
#include "ui/ktbasenavigationcontroller.h"

namespace ScreenOpener {

KTBaseViewController *push(KTBaseNavigationController *nav, Factory make)
{
    if (!nav || !make) {
        qevaLog(lcScreens, QStringLiteral("no navigation to open a screen on"));
        return nullptr;
    }
    KTBaseViewController *screen = make();
    if (!nav->push(screen)) {
        delete screen;
        return nullptr;
    }
    return screen;
}

} // namespace ScreenOpener
