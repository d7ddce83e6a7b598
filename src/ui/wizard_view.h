// What the page flow asks of the window. The Win32 window implements it;
// tests use a fake that records, so the flow is tested without a window.
#pragma once

#include <string_view>

#include "install/install_run.h"
#include "ui/controls.h"

namespace norvane {

class WizardView {
 public:
  virtual ~WizardView() = default;

  // The page container's page: reading it is asking the container.
  virtual int currentPage() = 0;
  virtual void showPage(int page) = 0;

  virtual void setCaption(ControlId control, std::string_view text) = 0;
  // Whether text, as the control would draw it, shows whole within it.
  virtual bool textFits(ControlId control, std::string_view text) = 0;
  virtual void setEnabled(ControlId control, bool enabled) = 0;
  virtual void setVisible(ControlId control, bool visible) = 0;
  virtual void setUnderlined(ControlId control) = 0;
  // The system menu's Close command and the caption's close box.
  virtual void setCloseCommandEnabled(bool enabled) = 0;
  virtual void setPresetSelection(int entry) = 0;
  virtual void setProgress(int percent) = 0;

  virtual void showWelcomePictures() = 0;
  virtual void enableThemedDrawing() = 0;

  // Modal, no owner window, no icon.
  virtual void showMessage(std::string_view text, std::string_view title) = 0;
  virtual bool askYesNo(std::string_view text, std::string_view title) = 0;

  // The shell's "open" verb; returns at once, reports nothing.
  virtual void openUrl(std::string_view address) = 0;
  // Ends the process at once with exit code 0: no window handler runs and
  // nothing on disk is touched. The real one does not return.
  virtual void exitProgram() = 0;

  // Handles the window messages that are waiting.
  virtual void pumpMessages() = 0;
  // Carries the worker's calls to the UI thread, in the order made.
  virtual ProgressSink& progressSink() = 0;
};

}  // namespace norvane
