// The finish page's account of the run, short enough for its label.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "install/component_outcome.h"

namespace norvane {

// Whether a text fits the label it is meant for, as the window draws it.
using TextFits = std::function<bool(std::string_view)>;

// Empty when nothing was chosen. Failures come first, by caption with a
// short reason; long lists end in "……等 N 项". The most detailed account
// that fits is taken; when none does, the shortest.
std::string finishSummary(const std::vector<ComponentOutcome>& outcomes, const TextFits& fits);

}  // namespace norvane
