#pragma once

#include "simconfig.h"

#include <QString>

// The command line of qeva-sim, kept out of main() so that tests read it
// without starting a process. Every setting, the families' included, ends
// up in the config: nothing is read from the environment.
struct SimOptions
{
    enum class Action { Run, Help, Error };
    Action action = Action::Error;
    SimConfig config;
    QString message; // the help text, or what was wrong
    QString usage;   // one line, for an error
};

// arguments as QCoreApplication::arguments() gives them (the program first).
SimOptions parseSimArguments(const QStringList &arguments);
