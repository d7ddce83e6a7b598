#include "selection/check_model.h"

namespace norvane {

void onCheckBoxClicked(ComponentTree& tree, std::int32_t index, CheckState reported) {
  const CheckState s = reported == kPartial ? kUnchecked : kChecked;
  tree.setCheckState(index, s, true);
  propagateCheck(tree, index);
}

void propagateCheck(ComponentTree& tree, std::int32_t index) {
  const std::int32_t p = tree.parentOf(index);
  if (p == -1) return;
  bool anyZero = false;
  bool anyNonZero = false;
  const std::int32_t depth = tree.depthOf(p);
  for (std::int32_t c = p + 1; tree.depthOf(c) > depth; ++c) {
    (tree.checkStateOf(c) == kUnchecked ? anyZero : anyNonZero) = true;
  }
  const CheckState state = anyNonZero && !anyZero   ? kChecked
                           : anyZero && !anyNonZero ? kUnchecked
                                                    : kPartial;
  tree.setCheckState(p, state, false);
  propagateCheck(tree, p);
}

void applyPreset(ComponentTree& tree, int selectorEntry) {
  const std::int32_t n = tree.itemCount();
  if (selectorEntry != static_cast<int>(Preset::Recommended) &&
      selectorEntry != static_cast<int>(Preset::Full)) {
    for (std::int32_t i = 0; i < n; ++i) tree.setCheckState(i, kUnchecked, false);
    return;
  }
  for (std::int32_t i = 0; i < n; ++i) tree.setCheckState(i, kChecked, false);
  if (selectorEntry == static_cast<int>(Preset::Full)) return;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t value = tree.valueOf(i);
    const bool platformOrClub = value >= 30 && value <= 35;
    const bool oldRuntime = value == 11 || value == 13 || value == 14;
    if (!platformOrClub && !oldRuntime) continue;
    tree.setCheckState(i, kUnchecked, false);
    tree.setCheckState(tree.parentOf(i), kPartial, false);
    if (value == 34 || value == 35) tree.setCheckState(tree.parentOf(i), kUnchecked, true);
  }
}

}  // namespace norvane
