#pragma once

#include "clicommand.h"

#include <QList>
#include <QStringList>

class QTextStream;

// The command line front end: global options, the subcommand, the client
// context on the options given, and the exit status. Each family file adds
// its subcommands to the registry; this class knows none of them by name.
class Qevactl
{
public:
    Qevactl(QTextStream &out, QTextStream &err);

    // arguments as QCoreApplication::arguments() gives them (program first).
    int run(const QStringList &arguments);

    static QList<CliOption> globalOptions();
    static QString helpText();
    static QString commandHelp(const CliCommand &command);
    static QString groupHelp(const QString &group);

private:
    int help(const QStringList &words);

    QTextStream &m_out;
    QTextStream &m_err;
};
