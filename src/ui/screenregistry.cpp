#include "ui/screenregistry.h"

#include "core/appcontext.h"
#include "core/logging.h"
#include "ui/ktbaseviewcontroller.h"

#include <map>

namespace {
std::map<QString, ScreenRegistry::Factory> &factories()
{
    static std::map<QString, ScreenRegistry::Factory> map;
    return map;
}
}

bool ScreenRegistry::add(const QString &className, Factory factory)
{
    if (className.isEmpty() || !factory)
        return false;
    auto [it, inserted] = factories().emplace(className, std::move(factory));
    if (!inserted)
        qCWarning(lcUi) << "screen registered twice:" << className;
    return inserted;
}

KTBaseViewController *ScreenRegistry::create(const QString &className)
{
    auto it = factories().find(className);
    if (it == factories().end()) {
        qCWarning(lcUi) << "no screen registered as" << className;
        return nullptr;
    }
    if (!AppContext::current()) {
        qCWarning(lcUi) << "no context to create" << className << "in";
        return nullptr;
    }
    return it->second();
}

bool ScreenRegistry::contains(const QString &className)
{
    return factories().count(className) != 0;
}

QStringList ScreenRegistry::names()
{
    QStringList out;
    for (const auto &[name, factory] : factories())
        out << name;
    return out;
}
