#include "clicommand.h"

const CliCommand *CliCommandRegistry::find(const QString &name) const
{
    for (const CliCommand &command : m_commands)
        if (command.name == name)
            return &command;
    return nullptr;
}

QList<CliCommand> CliCommandRegistry::group(const QString &group) const
{
    QList<CliCommand> out;
    const QString prefix = group + QLatin1Char(' ');
    for (const CliCommand &command : m_commands)
        if (command.name.startsWith(prefix))
            out.append(command);
    return out;
}
