#include "selection/check_model.h"

#include <gtest/gtest.h>

#include "install/install_run.h"
#include "selection/tree_builder.h"

namespace norvane {
namespace {

ComponentTree builtTree(OsClass c) {
  ComponentTree tree;
  buildComponentTree(tree, c);
  return tree;
}

std::vector<CheckState> statesOf(const ComponentTree& tree) {
  std::vector<CheckState> out;
  for (std::int32_t i = 0; i < tree.itemCount(); ++i) out.push_back(tree.checkStateOf(i));
  return out;
}

// What a click does in the tree view: one step along the cycle, then the handler.
void click(ComponentTree& tree, std::int32_t index) {
  const CheckState next = (tree.checkStateOf(index) + 1) % 3;
  tree.setCheckState(index, next, false);
  onCheckBoxClicked(tree, index, next);
}

TEST(Presets, RecommendedPerClassAndTheQueueItGives) {
  struct Case {
    OsClass osClass;
    InstallQueue queue;
  };
  const Case cases[] = {
      {OsClass::NewerX64,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 17, 18, 19, 20, 21, 23, 25, 26, 27, 28, 29}},
      {OsClass::OlderX64,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 16, 18, 19, 20, 21, 23, 25, 26, 27, 28, 29}},
      {OsClass::NewerX86, {1, 3, 5, 7, 9, 12, 15, 17, 18, 19, 20, 21, 22, 24, 26, 27, 28, 29}},
      {OsClass::OlderX86, {1, 3, 5, 7, 9, 12, 15, 16, 18, 19, 20, 21, 22, 24, 26, 27, 28, 29}},
  };
  for (const Case& c : cases) {
    ComponentTree tree = builtTree(c.osClass);
    applyPreset(tree, Preset::Recommended);
    EXPECT_EQ(collectInstallQueue(tree), c.queue);
    for (std::int32_t i = 0; i < tree.itemCount(); ++i) {
      const ComponentId v = tree.valueOf(i);
      CheckState expected = kChecked;
      if (v == 11 || v == 13 || v == 14 || v >= 30) expected = kUnchecked;
      if (v == 0) expected = tree.item(i).caption == "常用游戏平台" ? kUnchecked : kPartial;
      EXPECT_EQ(tree.checkStateOf(i), expected) << i << " id " << v;
    }
  }
}

TEST(Presets, RecommendedOnOlderX86ByIndex) {
  ComponentTree tree = builtTree(OsClass::OlderX86);
  applyPreset(tree, Preset::Recommended);
  std::vector<CheckState> expected(30, kChecked);
  for (std::int32_t i : {6, 7, 8, 23, 24, 25, 26, 27, 28, 29})
    expected[static_cast<std::size_t>(i)] = kUnchecked;
  expected[0] = kPartial;
  expected[17] = kPartial;
  EXPECT_EQ(statesOf(tree), expected);
}

TEST(Presets, RecommendedGroupStatesAreWhatPropagationWouldGive) {
  ComponentTree tree = builtTree(OsClass::NewerX64);
  applyPreset(tree, Preset::Recommended);
  const std::vector<CheckState> before = statesOf(tree);
  for (std::int32_t child : {1, 22, 30}) propagateCheck(tree, child);
  EXPECT_EQ(statesOf(tree), before);
}

TEST(Presets, FullCustomAndUnknownEntries) {
  ComponentTree tree = builtTree(OsClass::NewerX86);
  applyPreset(tree, Preset::Full);
  EXPECT_EQ(statesOf(tree), std::vector<CheckState>(29, kChecked));
  EXPECT_EQ(collectInstallQueue(tree).size(), 26u);
  for (int entry : {2, -1, 3}) {
    applyPreset(tree, Preset::Full);
    applyPreset(tree, entry);
    EXPECT_EQ(statesOf(tree), std::vector<CheckState>(29, kUnchecked)) << entry;
  }
  ComponentTree empty;
  applyPreset(empty, Preset::Recommended);
  EXPECT_EQ(empty.itemCount(), 0);
}

TEST(Presets, RecommendedAgainAndARebuildRestoreTheTable) {
  ComponentTree reference = builtTree(OsClass::OlderX64);
  applyPreset(reference, Preset::Recommended);
  ComponentTree tree = builtTree(OsClass::OlderX64);
  applyPreset(tree, Preset::Custom);
  click(tree, 30);
  click(tree, 5);
  applyPreset(tree, Preset::Recommended);
  EXPECT_EQ(statesOf(tree), statesOf(reference));
  applyPreset(tree, Preset::Full);
  buildComponentTree(tree, OsClass::OlderX64);
  applyPreset(tree, Preset::Recommended);
  EXPECT_EQ(statesOf(tree), statesOf(reference));
}

TEST(CheckBoxes, ClicksAsTheListGivesThem) {
  // NewerX64 after Recommended: platforms group at 29 (children 30-33) unchecked,
  // drivers group at 21 partial (27, 28 = ids 30, 31 unchecked).
  struct Case {
    const char* what;
    std::vector<std::int32_t> clicks;
    std::vector<std::pair<std::int32_t, CheckState>> expected;
  };
  const Case cases[] = {
      {"unchecked group checks itself and its children",
       {29},
       {{29, 1}, {30, 1}, {31, 1}, {32, 1}, {33, 1}, {21, 2}, {0, 2}}},
      {"one child of an unchecked group", {31}, {{31, 1}, {29, 2}, {30, 0}}},
      {"last unchecked child of a partial group", {27, 28}, {{27, 1}, {28, 1}, {21, 1}}},
      {"partial group box", {21}, {{21, 1}, {27, 1}, {28, 1}, {22, 1}}},
      {"only checked child", {31, 31}, {{31, 0}, {29, 0}}},
      {"checked group box", {29, 29}, {{29, 0}, {30, 0}, {33, 0}}},
      {"checked child of a partial group", {22}, {{22, 0}, {21, 2}}},
  };
  for (const Case& c : cases) {
    ComponentTree tree = builtTree(OsClass::NewerX64);
    applyPreset(tree, Preset::Recommended);
    for (std::int32_t i : c.clicks) click(tree, i);
    for (const auto& [index, state] : c.expected) {
      EXPECT_EQ(tree.checkStateOf(index), state) << c.what << ": item " << index;
    }
  }
}

TEST(CheckBoxes, ReportedStateDecides) {
  ComponentTree tree = builtTree(OsClass::NewerX86);
  applyPreset(tree, Preset::Custom);
  onCheckBoxClicked(tree, 24, kChecked);
  EXPECT_EQ(tree.checkStateOf(25), kChecked);
  onCheckBoxClicked(tree, 24, kPartial);
  EXPECT_EQ(tree.checkStateOf(25), kUnchecked);
  EXPECT_EQ(tree.checkStateOf(24), kUnchecked);
  onCheckBoxClicked(tree, 24, kUnchecked);  // the cycle's third step acts as a check
  EXPECT_EQ(tree.checkStateOf(28), kChecked);
}

TEST(CheckBoxes, AnOnlyChildChecksItsGroupAndTheTopLevelIsLeftAlone) {
  ComponentTree tree;
  const auto g = tree.addItem(-1, "g", 0, true);
  const auto c = tree.addItem(g, "c", 1, false);
  tree.setCheckState(c, kChecked, false);
  propagateCheck(tree, c);
  EXPECT_EQ(tree.checkStateOf(g), kChecked);
  propagateCheck(tree, g);  // top level: nothing to do
  EXPECT_EQ(tree.checkStateOf(g), kChecked);
}

}  // namespace
}  // namespace norvane
