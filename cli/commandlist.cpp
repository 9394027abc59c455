#include "commandlist.h"

QList<CliCommand> qevactlCommands()
{
    return discoveryCommands() + settingsCommands() + overlayCommands() + windowCommands() + playListCommands()
           + transferCommands() + timedPlayCommands();
}
