#pragma once

class KTBaseNavigationController;
class KTBaseViewController;

// Opens a menu's target screen. Targets are named by type, so a menu entry
// for a screen that does not exist does not compile.
namespace ScreenOpener {
using Factory = KTBaseViewController *(*)();

template <typename T>
KTBaseViewController *make()
{
    return new T;
}

// A new screen from make, pushed onto nav; null when nothing was opened.
KTBaseViewController *push(KTBaseNavigationController *nav, Factory make);
} // namespace ScreenOpener
