#pragma once

#include "clicommand.h"

#include <QList>

// The subcommands of qevactl, one function per family file, in the order of
// the app's menus. qevactlCommands() is every one of them, in that order.
QList<CliCommand> discoveryCommands();
QList<CliCommand> settingsCommands();
QList<CliCommand> overlayCommands();
QList<CliCommand> windowCommands();
QList<CliCommand> playListCommands();
QList<CliCommand> transferCommands();
QList<CliCommand> timedPlayCommands();

QList<CliCommand> qevactlCommands();
