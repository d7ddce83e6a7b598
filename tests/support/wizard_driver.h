// Drives the real wizard from outside, as a user would: finds its window
// and controls by their identifiers and presses them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/win32_child.h"
#include "ui/controls.h"

namespace norvane::testing {

class WizardDriver {
 public:
  // Starts program (beside its Kavrin.cab) with its own temporary folder.
  WizardDriver(const std::string& program, const std::string& tempFolder);

  bool started() const { return window_ != nullptr; }
  // Why started() is false, for the failure message.
  std::string whyNotStarted() const;
  HWND window() const { return window_; }
  HWND control(ControlId id) const;
  int page() const;
  std::string text(ControlId id) const;
  bool enabled(ControlId id) const;
  bool visible(ControlId id) const;
  int progress() const;
  int presetSelection() const;

  // Clicks a button the way the user's click arrives.
  void press(ControlId button);
  // Picks an entry of the preset selector.
  void pickPreset(int entry);
  // Clicks the check box of the tree item with this flat index with the
  // mouse, as the user does (the pointer moves there and the button goes
  // down and up); false when the item cannot be found.
  bool clickTreeCheckBox(int index);
  // The check-box states the tree view shows, by flat index.
  std::vector<int> treeStates() const;
  // The flat index of the tree's topmost shown item, -1 when there is none.
  int firstVisibleTreeIndex() const;
  void requestClose();
  // A real mouse click on the caption's close box; false if none was found.
  bool clickCloseBox();

  // Polls until cond holds; false after the timeout.
  template <class Cond>
  bool waitFor(Cond cond, DWORD milliseconds = 120000) const {
    const DWORD start = GetTickCount();
    while (!cond()) {
      if (GetTickCount() - start > milliseconds) return false;
      Sleep(20);
    }
    return true;
  }
  bool waitForFinishPage(DWORD milliseconds = 600000) const;
  // Waits for the process to end; its exit code, or 99 when it did not end.
  DWORD exitCode(DWORD milliseconds = 60000);
  DWORD processId() const { return child_->id(); }

 private:
  std::unique_ptr<ChildProcess> child_;
  HWND window_ = nullptr;
};

}  // namespace norvane::testing
