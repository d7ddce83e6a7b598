// Three-state check boxes: a click sets an item and everything below it and
// brings the items above into line; presets set every box at once.
#pragma once

#include "selection/component_tree.h"

namespace norvane {

enum class Preset { Recommended = 0, Full = 1, Custom = 2 };

// The tree view has already moved the box one step (unchecked, checked,
// partial, unchecked) and reports the state it now shows.
void onCheckBoxClicked(ComponentTree& tree, std::int32_t index, CheckState reported);

// Recomputes the parent of index from its descendants, up to the top.
void propagateCheck(ComponentTree& tree, std::int32_t index);

// The selector's entry; any value other than Recommended or Full (no entry
// selected included) acts as Custom.
void applyPreset(ComponentTree& tree, int selectorEntry);
inline void applyPreset(ComponentTree& tree, Preset preset) {
  applyPreset(tree, static_cast<int>(preset));
}

}  // namespace norvane
