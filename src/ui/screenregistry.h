#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class KTBaseViewController;

// Screens by class name, so that menus open them by name. A screen's .cpp
// registers it once at namespace scope:
//
//     QEVA_REGISTER_SCREEN(SystemSetViewController)
//
// The class needs a constructor callable without arguments.
class ScreenRegistry
{
public:
    using Factory = std::function<KTBaseViewController *()>;

    // False (and the first one kept) when the name is taken.
    static bool add(const QString &className, Factory factory);
    // A new screen the caller owns; null for an unknown name or when no
    // context is alive to create it in.
    static KTBaseViewController *create(const QString &className);
    static bool contains(const QString &className);
    static QStringList names();
};

#define QEVA_REGISTER_SCREEN(ClassName)                                                                      \
    namespace {                                                                                              \
    [[maybe_unused]] const bool qevaScreenRegistered_##ClassName =                                           \
        ScreenRegistry::add(QStringLiteral(#ClassName), []() -> KTBaseViewController * { return new ClassName; }); \
    }
