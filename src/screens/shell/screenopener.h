#pragma once

#include <QString>

class KTBaseNavigationController;
class KTBaseViewController;

// Opens a menu's target screen by class name. The targets live in other
// subsystems and register themselves; a name nobody registered is logged
// and told to the user with an error pop-up instead of opening anything.
namespace ScreenOpener {
// The new screen, pushed onto nav; null when nothing was opened.
KTBaseViewController *pushScreenNamed(KTBaseNavigationController *nav, const QString &className);
}
