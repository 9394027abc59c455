#include "clicommand.h"

#include <algorithm>
#include <map>

namespace {
// Keyed by order, then by registration within the order.
std::map<std::pair<int, int>, CliCommand> &registry()
{
    static std::map<std::pair<int, int>, CliCommand> commands;
    return commands;
}
}

void CliCommandRegistry::add(int order, const QList<CliCommand> &commands)
{
    auto &r = registry();
    for (const CliCommand &c : commands)
        r.emplace(std::make_pair(order, int(r.size())), c);
}

QList<CliCommand> CliCommandRegistry::all()
{
    QList<CliCommand> out;
    for (const auto &[key, command] : registry())
        out.append(command);
    return out;
}

const CliCommand *CliCommandRegistry::find(const QString &name)
{
    for (const auto &[key, command] : registry())
        if (command.name == name)
            return &command;
    return nullptr;
}

QList<CliCommand> CliCommandRegistry::group(const QString &group)
{
    QList<CliCommand> out;
    const QString prefix = group + QLatin1Char(' ');
    for (const auto &[key, command] : registry())
        if (command.name.startsWith(prefix))
            out.append(command);
    return out;
}
