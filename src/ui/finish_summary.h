// The finish page's account of the run, short enough for its label.
#pragma once

#include <string>
#include <vector>

#include "install/component_outcome.h"

namespace norvane {

// Empty when nothing was chosen. Failures come first, by caption with a
// short reason; long lists end in "……等 N 项".
std::string finishSummary(const std::vector<ComponentOutcome>& outcomes);

}  // namespace norvane
