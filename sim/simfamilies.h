#pragma once

#include "simfamily.h"

#include <memory>
#include <vector>

// Every command family of the simulator, one factory each; each family
// file defines its own. A SimServer installs them in name order.
std::unique_ptr<SimFamily> makeLoginFamily();
std::unique_ptr<SimFamily> makeOverlayFamily();
std::unique_ptr<SimFamily> makePlayListFamily();
std::unique_ptr<SimFamily> makeSettingsFamily();
std::unique_ptr<SimFamily> makeTimedPlayFamily();
std::unique_ptr<SimFamily> makeTransferFamily();
std::unique_ptr<SimFamily> makeWindowFamily();

// The list SimServer takes its families from.
std::vector<SimFamilyFactory> simFamilies();
