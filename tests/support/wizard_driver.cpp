#include "support/wizard_driver.h"

// After windows.h, which it builds on.
#include <commctrl.h>

#include <cstring>

#include "os/win32_text.h"

namespace norvane::testing {

WizardDriver::WizardDriver(const std::string& program, const std::string& tempFolder)
    : child_(std::make_unique<ChildProcess>(
          program, "",
          std::vector<std::pair<std::wstring, std::wstring>>{{L"TEMP", toWide(tempFolder)},
                                                             {L"TMP", toWide(tempFolder)}})) {
  if (child_->valid()) window_ = waitForWindow(child_->id(), L"NorvaneWizardWindow", 60000);
}

std::string WizardDriver::whyNotStarted() const {
  if (window_ != nullptr) return "started";
  if (!child_->valid())
    return "CreateProcess failed with error " + std::to_string(child_->startError());
  DWORD code = 0;
  if (child_->waitForExit(0, code))
    return "ended with " + std::to_string(code) + " before showing a window";
  return "no window within a minute";
}

HWND WizardDriver::control(ControlId id) const {
  if (const HWND direct = GetDlgItem(window_, controlNumber(id))) return direct;
  // Labels on a picture are the picture's children.
  for (ControlId picture : {ControlId::图片框1, ControlId::图片框7}) {
    if (const HWND h = GetDlgItem(GetDlgItem(window_, controlNumber(picture)), controlNumber(id))) {
      return h;
    }
  }
  return nullptr;
}

int WizardDriver::page() const {
  return static_cast<int>(SendMessageW(control(ControlId::高级选择夹1), TCM_GETCURSEL, 0, 0));
}

std::string WizardDriver::text(ControlId id) const { return windowText(control(id)); }

bool WizardDriver::enabled(ControlId id) const { return IsWindowEnabled(control(id)) != FALSE; }

bool WizardDriver::visible(ControlId id) const {
  return (GetWindowLongW(control(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

int WizardDriver::progress() const {
  return static_cast<int>(SendMessageW(control(ControlId::进度条1), PBM_GETPOS, 0, 0));
}

int WizardDriver::presetSelection() const {
  return static_cast<int>(SendMessageW(control(ControlId::组合框1), CB_GETCURSEL, 0, 0));
}

void WizardDriver::press(ControlId button) {
  // BM_CLICK is what a mouse click on the button produces; it acts only
  // on an enabled button.
  SendMessageTimeoutW(control(button), BM_CLICK, 0, 0, SMTO_NORMAL, 1000, nullptr);
}

void WizardDriver::pickPreset(int entry) {
  const HWND box = control(ControlId::组合框1);
  SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
  // A user's pick notifies the window; CB_SETCURSEL alone does not.
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(controlNumber(ControlId::组合框1), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
}

namespace {

// Common-control messages carry pointers that are not carried across
// processes: the item record lives in the wizard's own memory.
class RemoteItem {
 public:
  explicit RemoteItem(DWORD processId)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                             processId)) {
    if (process_ != nullptr) {
      remote_ = VirtualAllocEx(process_, nullptr, sizeof(TVITEMW), MEM_COMMIT | MEM_RESERVE,
                               PAGE_READWRITE);
    }
  }
  RemoteItem(const RemoteItem&) = delete;
  RemoteItem& operator=(const RemoteItem&) = delete;
  ~RemoteItem() {
    if (remote_ != nullptr) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  // The item's text rectangle in the tree's client area.
  bool textRect(HWND tree, HTREEITEM item, RECT& rect) const {
    if (remote_ == nullptr) return false;
    // TVM_GETITEMRECT takes the item handle in the rectangle it fills.
    std::memcpy(&rect, &item, sizeof item);
    WriteProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    if (!SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote_))) return false;
    return ReadProcessMemory(process_, remote_, &rect, sizeof rect, nullptr) != FALSE;
  }
  // The state image of item, -1 when it cannot be read.
  int stateImage(HWND tree, HTREEITEM item) const {
    if (remote_ == nullptr) return -1;
    TVITEMW info{};
    info.mask = TVIF_STATE;
    info.hItem = item;
    info.stateMask = TVIS_STATEIMAGEMASK;
    WriteProcessMemory(process_, remote_, &info, sizeof info, nullptr);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_, remote_, &info, sizeof info, nullptr);
    return static_cast<int>((info.state & TVIS_STATEIMAGEMASK) >> 12);
  }

 private:
  HANDLE process_;
  void* remote_ = nullptr;
};

}  // namespace

namespace {

// The tree's items in flat depth-first order.
std::vector<HTREEITEM> treeItems(HWND tree) {
  std::vector<HTREEITEM> items;
  std::vector<HTREEITEM> stack;
  for (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
       item != nullptr;) {
    items.push_back(item);
    const auto child = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    if (child != nullptr) {
      stack.push_back(item);
      item = child;
      continue;
    }
    auto next = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    while (next == nullptr && !stack.empty()) {
      next = reinterpret_cast<HTREEITEM>(
          SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(stack.back())));
      stack.pop_back();
    }
    item = next;
  }
  return items;
}

void mouseClickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT clicks[2] = {};
  clicks[0].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].type = INPUT_MOUSE;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

}  // namespace

bool WizardDriver::clickTreeCheckBox(int index) {
  const HWND tree = control(ControlId::树型框1);
  const auto items = treeItems(tree);
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return false;
  const RemoteItem remote(child_->id());
  const HTREEITEM item = items[static_cast<std::size_t>(index)];
  // Scrolled to the top where it can be: an item merely "visible" may sit
  // half below the tree's edge.
  SendMessageW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(item));
  RECT text{};
  if (!remote.textRect(tree, item, text)) return false;
  // The 13-pixel state image sits just left of the text.
  POINT point{text.left - 10, (text.top + text.bottom) / 2};
  ClientToScreen(tree, &point);
  mouseClickAt(point);
  return true;
}

std::vector<int> WizardDriver::treeStates() const {
  const HWND tree = control(ControlId::树型框1);
  const RemoteItem remote(child_->id());
  std::vector<int> states;
  for (HTREEITEM item : treeItems(tree)) states.push_back(remote.stateImage(tree, item) - 1);
  return states;
}

int WizardDriver::firstVisibleTreeIndex() const {
  const HWND tree = control(ControlId::树型框1);
  const auto first =
      reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  const std::vector<HTREEITEM> items = treeItems(tree);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == first) return static_cast<int>(i);
  }
  return -1;
}

bool WizardDriver::clickCloseBox() {
  RECT frame{};
  if (!GetWindowRect(window_, &frame)) return false;
  // Found by asking the window what lies under each point of its caption
  // row, from the right: the frame is drawn by Wine, not by a window manager.
  const int row = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSIZE) / 2;
  for (int x = frame.right - 1; x > frame.left; --x) {
    DWORD_PTR hit = 0;
    SendMessageTimeoutW(window_, WM_NCHITTEST, 0, MAKELPARAM(x, row), SMTO_NORMAL, 1000, &hit);
    if (hit == HTCLOSE) {
      mouseClickAt({x - 3, row});
      return true;
    }
  }
  return false;
}

void WizardDriver::requestClose() { PostMessageW(window_, WM_CLOSE, 0, 0); }

bool WizardDriver::waitForFinishPage(DWORD milliseconds) const {
  return waitFor([this] { return page() == 3; }, milliseconds);
}

DWORD WizardDriver::exitCode(DWORD milliseconds) {
  DWORD code = 99;
  return child_->waitForExit(milliseconds, code) ? code : 99;
}

}  // namespace norvane::testing
