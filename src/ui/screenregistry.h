#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class KTBaseViewController;

// Screens by class name, for what opens a screen it names as text (the page
// renderer's --render-page, the page tests). Screens do not add themselves:
// registerScreens() (screens/screenlist.h) adds every one, and the program
// calls it at start-up. Menus open their targets by type, not through here.
class ScreenRegistry
{
public:
    using Factory = std::function<KTBaseViewController *()>;

    // False (and the first one kept) when the name is taken.
    static bool add(const QString &className, Factory factory);
    // T under its class name, made with its constructor without arguments.
    template <typename T>
    static bool add()
    {
        return add(QLatin1String(T::staticMetaObject.className()), []() -> KTBaseViewController * { return new T; });
    }
    // A new screen the caller owns; null for an unknown name or when no
    // context is alive to create it in.
    static KTBaseViewController *create(const QString &className);
    static bool contains(const QString &className);
    static QStringList names();
};
