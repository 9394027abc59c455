#pragma once

#include "simconfig.h"

#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

// The command line of qeva-sim, kept out of main() so that tests read it
// without starting a process.
struct SimOptions
{
    enum class Action { Run, Help, Error };
    Action action = Action::Error;
    SimConfig config;
    QString message; // the help text, or what was wrong
    // Family settings (media folder, faults, preloads). The families read
    // them from the environment, so main() puts them there before starting.
    QList<QPair<QString, QString>> environment;
};

// arguments as QCoreApplication::arguments() gives them (the program first).
SimOptions parseSimArguments(const QStringList &arguments);
