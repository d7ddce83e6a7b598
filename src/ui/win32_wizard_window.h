// The wizard as a Win32 window: controls created from the layout table,
// handlers forwarded to the Wizard, the worker's reports posted to the UI
// thread and applied there in order.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/os.h"
#include "ui/layout.h"
#include "ui/wizard.h"
#include "ui/wizard_view.h"

namespace norvane {

class Win32WizardWindow final : public WizardView, private ProgressSink {
 public:
  Win32WizardWindow(Os& os, std::string programFolder);
  Win32WizardWindow(const Win32WizardWindow&) = delete;
  Win32WizardWindow& operator=(const Win32WizardWindow&) = delete;
  ~Win32WizardWindow() override;

  // Creates the window, runs the window-created step, shows the window and
  // runs the message loop until the window is gone. The program's result.
  int run();

  // WizardView
  int currentPage() override;
  void showPage(int page) override;
  void setCaption(ControlId control, std::string_view text) override;
  bool textFits(ControlId control, std::string_view text) override;
  void setEnabled(ControlId control, bool enabled) override;
  void setVisible(ControlId control, bool visible) override;
  void setUnderlined(ControlId control) override;
  void setCloseCommandEnabled(bool enabled) override;
  void setPresetSelection(int entry) override;
  void setProgress(int percent) override;
  void showWelcomePictures() override;
  void enableThemedDrawing() override;
  void showMessage(std::string_view text, std::string_view title) override;
  bool askYesNo(std::string_view text, std::string_view title) override;
  void openUrl(std::string_view address) override;
  [[noreturn]] void exitProgram() override;
  void pumpMessages() override;
  ProgressSink& progressSink() override { return *this; }

 private:
  // ProgressSink, called on the worker thread.
  void setStatusText(std::string_view text) override;
  void setPercent(int percent) override;
  void componentDone(const ComponentOutcome& outcome) override;
  void runFinished() override;

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK pictureProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK linkProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT handle(UINT message, WPARAM w, LPARAM l);
  bool createWindow();
  void createControls();
  HWND createControl(const ControlSpec& spec);
  LRESULT colourStatic(HDC dc, HWND control);
  void onTreeNotify(const NMHDR& header);
  void toggleTreeItem(HTREEITEM item);
  void syncTree();
  void queueTreeSync();
  HWND control(ControlId id) const;
  const ControlSpec* specOfWindow(HWND window) const;

  Wizard wizard_;
  HWND window_ = nullptr;
  std::map<ControlId, HWND> controls_;
  std::map<HWND, const ControlSpec*> specs_;
  std::map<HWND, WNDPROC> originalProcs_;
  std::vector<HTREEITEM> treeItems_;
  bool treeSyncQueued_ = false;
  std::uint32_t ensureVisibleApplied_ = 0;
  HFONT guiFont_ = nullptr;
  HFONT titleFont_ = nullptr;
  std::vector<HFONT> underlinedFonts_;
  HBRUSH whiteBrush_ = nullptr;
  HBRUSH lineBrush_ = nullptr;
  HBRUSH pageBrush_ = nullptr;
  HBITMAP welcome_ = nullptr;
  HBITMAP header_ = nullptr;
  HIMAGELIST checkImages_ = nullptr;
};

}  // namespace norvane
