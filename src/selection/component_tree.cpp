#include "selection/component_tree.h"

#include <array>

namespace norvane {

ComponentTree ComponentTree::withInitialItems() {
  struct Initial {
    const char* caption;
    int depth;
  };
  static constexpr std::array<Initial, 21> kInitial{{
      {"常用运行库", 1},
      {"Visual C++ 2005 运行库(x86)", 2},
      {"Visual C++ 2005 运行库(x64)", 2},
      {"Visual C++ 2008 运行库(x86)", 2},
      {"Visual C++ 2008 运行库(x64)", 2},
      {"Visual C++ 2010 运行库(x86)", 2},
      {"Visual C++ 2010 运行库(x64)", 2},
      {"Visual C++ 2012 运行库(x86)", 2},
      {"Visual C++ 2012 运行库(x64)", 2},
      {"Microsoft .NET Framework 3.5 sp1(含2.0/3.0)", 2},
      {"Microsoft .NET Framework 4.0", 2},
      {"Microsoft .NET Framework 4.5", 2},
      {"Microsoft XML Core Services 6.0 x64(含sp2)", 2},
      {"常用驱动及组件", 1},
      {"DirectX 9.0c (2010.6)", 2},
      {"Open Audio Library 2.0.7 (OpenAL)", 2},
      {"NVIDIA PhysX System 9.10.0514", 2},
      {"其他运行库", 1},
      {"Microsoft XNA Framework 3.1", 2},
      {"Microsoft XNA Framework 4.0", 2},
      {"Java 运行库 7.0.90.5 (JRE)", 2},
  }};
  ComponentTree tree;
  std::int32_t group = -1;
  for (const Initial& item : kInitial) {
    const std::int32_t index = tree.addItem(item.depth == 1 ? -1 : group, item.caption, 0, false);
    if (item.depth == 1) group = index;
  }
  for (std::int32_t i = 0; i < tree.itemCount(); ++i) {
    if (tree.depthOf(i) == 1) tree.expand(i);
  }
  return tree;
}

void ComponentTree::clear() {
  items_.clear();
  changed();
}

std::int32_t ComponentTree::subtreeEnd(std::int32_t index) const {
  std::int32_t end = index + 1;
  const std::int32_t depth = depthOf(index);
  while (end < itemCount() && depthOf(end) > depth) ++end;
  return end;
}

std::int32_t ComponentTree::addItem(std::int32_t parent, std::string caption, std::int32_t value,
                                    bool emphasised) {
  if (parent != -1 && !names(parent)) return -1;
  const std::int32_t at = parent == -1 ? itemCount() : subtreeEnd(parent);
  // Items after the insertion point move down by one, and so do their
  // parents' indices where those parents move too.
  for (TreeItem& item : items_) {
    if (item.parent >= at) ++item.parent;
  }
  items_.insert(items_.begin() + at,
                TreeItem{std::move(caption), parent, value, emphasised, false, kUnchecked});
  changed();
  return at;
}

void ComponentTree::expand(std::int32_t index) {
  if (!names(index)) return;
  items_[static_cast<std::size_t>(index)].expanded = true;
  changed();
}

void ComponentTree::ensureVisible(std::int32_t index) {
  if (!names(index)) return;
  lastEnsuredVisible_ = index;
  ++ensureVisibleRequests_;
  changed();
}

std::int32_t ComponentTree::parentOf(std::int32_t index) const {
  return names(index) ? item(index).parent : -1;
}

std::int32_t ComponentTree::depthOf(std::int32_t index) const {
  if (!names(index)) return 0;
  std::int32_t depth = 1;
  for (std::int32_t p = item(index).parent; p != -1; p = item(p).parent) ++depth;
  return depth;
}

std::int32_t ComponentTree::valueOf(std::int32_t index) const {
  return names(index) ? item(index).value : 0;
}

CheckState ComponentTree::checkStateOf(std::int32_t index) const {
  return names(index) ? item(index).checkState : kNoItem;
}

void ComponentTree::setCheckState(std::int32_t index, CheckState state, bool withDescendants) {
  if (!names(index)) return;
  const std::int32_t end = withDescendants ? subtreeEnd(index) : index + 1;
  for (std::int32_t i = index; i < end; ++i) items_[static_cast<std::size_t>(i)].checkState = state;
  changed();
}

}  // namespace norvane
