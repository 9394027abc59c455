#include "simfamilies.h"

std::vector<SimFamilyFactory> simFamilies()
{
    return {makeLoginFamily,    makeOverlayFamily,  makePlayListFamily, makeSettingsFamily,
            makeTimedPlayFamily, makeTransferFamily, makeWindowFamily};
}
