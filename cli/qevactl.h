#pragma once

#include "clicommand.h"

#include <QList>
#include <QStringList>

class QTextStream;

// The command line front end: global options, the subcommand, the client
// context on the options given, and the exit status. It runs the commands
// it is given (qevactlCommands() in the program) and knows none by name.
class Qevactl
{
public:
    Qevactl(QList<CliCommand> commands, QTextStream &out, QTextStream &err);

    // arguments as QCoreApplication::arguments() gives them (program first).
    int run(const QStringList &arguments);

    static QList<CliOption> globalOptions();
    QString helpText() const;
    QString commandHelp(const CliCommand &command) const;
    QString groupHelp(const QString &group) const;

private:
    int help(const QStringList &words);

    CliCommandRegistry m_commands;
    QTextStream &m_out;
    QTextStream &m_err;
};
