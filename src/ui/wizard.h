// The wizard's page flow and handlers: start-up, the four pages, links,
// Cancel and every way of ending. Runs on the UI thread only.
#pragma once

#include <memory>
#include <string>

#include "env/environment.h"
#include "install/install_run.h"
#include "selection/component_tree.h"
#include "ui/wizard_view.h"

namespace norvane {

class Wizard {
 public:
  // programFolder: where the program lies, without a trailing separator.
  Wizard(Os& os, WizardView& view, std::string programFolder);

  // Before the window is first shown. False when the program ended here.
  bool onWindowCreated();
  void onNextPressed();
  void onBackPressed();
  bool canClose();
  void onCancelPressed();
  void onWindowDestroyed();
  void onLinkPressed(ControlId label);
  void onCheckUpdatesPressed();
  void onPresetPicked(int entry);
  void onTreeCheckBoxClicked(std::int32_t index, CheckState reported);

  // The worker's reports, applied on the UI thread in the order made.
  void applyStatusText(std::string_view text);
  void applyPercent(int percent);
  void applyComponentDone(const ComponentOutcome& outcome);
  void applyRunFinished();

  ComponentTree& tree() { return tree_; }
  const OsProfile& profile() const { return profile_; }
  const std::string& workDirectory() const { return workDirectory_; }
  // Null before Install.
  const InstallRun* run() const { return run_.get(); }
  // What the UI thread has heard of the run so far.
  const std::vector<ComponentOutcome>& outcomes() const { return outcomes_; }

 private:
  void enterSelection();
  void startInstall();
  void completeInstall();
  void finish();

  Os& os_;
  WizardView& view_;
  std::string programFolder_;
  ComponentTree tree_;
  OsProfile profile_;
  std::string workDirectory_;
  std::unique_ptr<InstallRun> run_;
  std::vector<ComponentOutcome> outcomes_;
};

}  // namespace norvane
