// The component tree as a plain model: the one truth that the window's tree
// view shows and forwards clicks to. Items are addressed by their flat
// depth-first index; an index that names no item is harmless everywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace norvane {

using CheckState = std::int32_t;
inline constexpr CheckState kUnchecked = 0;
inline constexpr CheckState kChecked = 1;
inline constexpr CheckState kPartial = 2;
inline constexpr CheckState kNoItem = -1;

struct TreeItem {
  std::string caption;
  std::int32_t parent = -1;
  std::int32_t value = 0;
  bool emphasised = false;
  bool expanded = false;
  CheckState checkState = kUnchecked;
};

class ComponentTree {
 public:
  // A view of the model is told after every change.
  using ChangeListener = std::function<void()>;

  // The 21 items the tree holds from the window's creation until a build.
  static ComponentTree withInitialItems();

  void clear();
  // Appends as the last child of parent (or the last top-level item for
  // -1) and returns the new item's flat index; -1 when parent names no item.
  std::int32_t addItem(std::int32_t parent, std::string caption, std::int32_t value,
                       bool emphasised);
  void expand(std::int32_t index);
  void ensureVisible(std::int32_t index);

  std::int32_t itemCount() const { return static_cast<std::int32_t>(items_.size()); }
  std::int32_t parentOf(std::int32_t index) const;
  // 1 for top-level items, 0 for an index that names no item.
  std::int32_t depthOf(std::int32_t index) const;
  std::int32_t valueOf(std::int32_t index) const;
  CheckState checkStateOf(std::int32_t index) const;
  // Raises no event of its own; only the view is told.
  void setCheckState(std::int32_t index, CheckState state, bool withDescendants);

  bool names(std::int32_t index) const { return index >= 0 && index < itemCount(); }
  const TreeItem& item(std::int32_t index) const {
    return items_.at(static_cast<std::size_t>(index));
  }
  // The index last scrolled into view, -1 before any, and how many such
  // requests there were: a view scrolls once per request, not on every
  // change, or it would undo the user's own scrolling.
  std::int32_t lastEnsuredVisible() const { return lastEnsuredVisible_; }
  std::uint32_t ensureVisibleRequests() const { return ensureVisibleRequests_; }

  void setChangeListener(ChangeListener listener) { listener_ = std::move(listener); }

 private:
  void changed() const {
    if (listener_) listener_();
  }
  // One past the last descendant of index.
  std::int32_t subtreeEnd(std::int32_t index) const;

  std::vector<TreeItem> items_;
  std::int32_t lastEnsuredVisible_ = -1;
  std::uint32_t ensureVisibleRequests_ = 0;
  ChangeListener listener_;
};

}  // namespace norvane
