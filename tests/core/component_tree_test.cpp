#include "selection/component_tree.h"

#include <gtest/gtest.h>

#include "selection/tree_builder.h"

namespace norvane {
namespace {

TEST(ComponentTree, InitialItems) {
  const ComponentTree tree = ComponentTree::withInitialItems();
  ASSERT_EQ(tree.itemCount(), 21);
  for (std::int32_t i = 0; i < 21; ++i) {
    const bool group = i == 0 || i == 13 || i == 17;
    EXPECT_EQ(tree.depthOf(i), group ? 1 : 2) << i;
    EXPECT_EQ(tree.valueOf(i), 0) << i;
    EXPECT_EQ(tree.checkStateOf(i), kUnchecked) << i;
    EXPECT_FALSE(tree.item(i).emphasised) << i;
    EXPECT_EQ(tree.item(i).expanded, group) << i;
  }
  EXPECT_EQ(tree.item(0).caption, "常用运行库");
  EXPECT_EQ(tree.item(12).caption, "Microsoft XML Core Services 6.0 x64(含sp2)");
  EXPECT_EQ(tree.parentOf(12), 0);
  EXPECT_EQ(tree.item(13).caption, "常用驱动及组件");
  EXPECT_EQ(tree.parentOf(16), 13);
  EXPECT_EQ(tree.item(20).caption, "Java 运行库 7.0.90.5 (JRE)");
  EXPECT_EQ(tree.parentOf(20), 17);
}

TEST(ComponentTree, IndicesThatNameNoItemAreHarmless) {
  ComponentTree tree = ComponentTree::withInitialItems();
  for (std::int32_t i : {-1, -5, 21, 1000}) {
    EXPECT_EQ(tree.parentOf(i), -1) << i;
    EXPECT_EQ(tree.depthOf(i), 0) << i;
    EXPECT_EQ(tree.valueOf(i), 0) << i;
    EXPECT_EQ(tree.checkStateOf(i), kNoItem) << i;
    tree.setCheckState(i, kChecked, true);
    tree.expand(i);
    if (i != -1) {  // -1 is the top level
      EXPECT_EQ(tree.addItem(i, "x", 1, false), -1) << i;
    }
  }
  EXPECT_EQ(tree.itemCount(), 21);
  for (std::int32_t i = 0; i < 21; ++i) EXPECT_EQ(tree.checkStateOf(i), kUnchecked);
}

TEST(ComponentTree, ChildAddedToAnEarlierParentShiftsLaterItems) {
  ComponentTree tree;
  const auto a = tree.addItem(-1, "A", 0, true);
  const auto b = tree.addItem(-1, "B", 0, true);
  tree.addItem(b, "b1", 2, false);
  EXPECT_EQ(tree.addItem(a, "a1", 1, false), 1);
  EXPECT_EQ(tree.item(2).caption, "B");
  EXPECT_EQ(tree.parentOf(3), 2) << "b1 follows its moved parent";
  tree.setCheckState(0, kChecked, true);
  EXPECT_EQ(tree.checkStateOf(1), kChecked);
  EXPECT_EQ(tree.checkStateOf(2), kUnchecked);
}

TEST(ComponentTree, BuildPerClass) {
  struct Case {
    OsClass osClass;
    std::int32_t drivers, platforms, count;
    std::vector<std::pair<std::int32_t, ComponentId>> idsAt;
  };
  const Case cases[] = {
      {OsClass::NewerX64,
       21,
       29,
       34,
       {{1, 1}, {14, 17}, {19, 23}, {20, 25}, {22, 12}, {30, 32}, {33, 35}}},
      {OsClass::OlderX64, 22, 30, 35, {{12, 13}, {15, 16}, {21, 25}, {23, 12}, {34, 35}}},
      {OsClass::NewerX86, 16, 24, 29, {{2, 3}, {9, 17}, {14, 22}, {15, 24}, {17, 12}, {28, 35}}},
      {OsClass::OlderX86, 17, 25, 30, {{7, 13}, {10, 16}, {16, 24}, {18, 12}, {29, 35}}},
  };
  for (const Case& c : cases) {
    ComponentTree tree = ComponentTree::withInitialItems();
    tree.setCheckState(0, kChecked, true);
    buildComponentTree(tree, c.osClass);
    ASSERT_EQ(tree.itemCount(), c.count);
    EXPECT_EQ(c.platforms, c.drivers + 8);
    for (std::int32_t g : {0, c.drivers, c.platforms}) {
      EXPECT_EQ(tree.parentOf(g), -1) << g;
      EXPECT_EQ(tree.valueOf(g), 0) << g;
      EXPECT_TRUE(tree.item(g).emphasised) << g;
      EXPECT_TRUE(tree.item(g).expanded) << g;
    }
    EXPECT_EQ(tree.item(0).caption, "运行库合集");
    EXPECT_EQ(tree.item(c.drivers).caption, "常用驱动及组件");
    EXPECT_EQ(tree.item(c.platforms).caption, "常用游戏平台");
    for (const auto& [index, id] : c.idsAt) EXPECT_EQ(tree.valueOf(index), id) << index;
    for (std::int32_t i = 0; i < c.count; ++i) {
      const bool group = i == 0 || i == c.drivers || i == c.platforms;
      if (group) continue;
      const std::int32_t expectedParent = i < c.drivers     ? 0
                                          : i < c.platforms ? c.drivers
                                                            : c.platforms;
      EXPECT_EQ(tree.parentOf(i), expectedParent) << i;
      EXPECT_EQ(tree.item(i).caption, entryFor(tree.valueOf(i))->treeCaption) << i;
      EXPECT_FALSE(tree.item(i).emphasised) << i;
      EXPECT_EQ(tree.checkStateOf(i), kUnchecked) << "a build sets no boxes";
    }
  }
}

TEST(ComponentTree, EveryComponentIsOfferedSomewhere) {
  std::vector<bool> seen(36, false);
  for (OsClass c : {OsClass::NewerX64, OsClass::OlderX64, OsClass::NewerX86, OsClass::OlderX86}) {
    ComponentTree tree;
    buildComponentTree(tree, c);
    for (std::int32_t i = 0; i < tree.itemCount(); ++i)
      seen[static_cast<std::size_t>(tree.valueOf(i))] = true;
  }
  for (ComponentId id = 1; id <= 35; ++id) EXPECT_TRUE(seen[static_cast<std::size_t>(id)]) << id;
}

}  // namespace
}  // namespace norvane
