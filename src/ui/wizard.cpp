#include "ui/wizard.h"

#include "archive/payload_archive.h"
#include "env/work_directory.h"
#include "os/file_tree.h"
#include "selection/check_model.h"
#include "selection/tree_builder.h"
#include "ui/finish_summary.h"
#include "ui/texts.h"
#include "ui/web_addresses.h"

namespace norvane {

namespace {

constexpr int kWelcome = 0;
constexpr int kSelection = 1;
constexpr int kInstalling = 2;
constexpr int kFinished = 3;

}  // namespace

Wizard::Wizard(Os& os, WizardView& view, std::string programFolder)
    : os_(os),
      view_(view),
      programFolder_(std::move(programFolder)),
      tree_(ComponentTree::withInitialItems()) {}

bool Wizard::onWindowCreated() {
  view_.showWelcomePictures();
  // Any directory entry of that name counts, as the lookup finds it.
  if (!os_.attributesOf(payloadArchivePath(programFolder_)).ok()) {
    view_.showMessage(kMissingArchiveText, kMissingArchiveTitle);
    view_.openUrl(kDownloadPageUrl);
    view_.exitProgram();
    return false;
  }
  view_.enableThemedDrawing();
  profile_ = probeEnvironment(os_);
  const auto work = allocateWorkDirectory(os_);
  if (!work.ok()) {
    view_.showMessage(kNoWorkFolderText, kMessageTitle);
    view_.exitProgram();
    return false;
  }
  workDirectory_ = work.value;
  for (ControlId link :
       {ControlId::标签8, ControlId::标签9, ControlId::标签13, ControlId::标签14, ControlId::标签18,
        ControlId::标签17, ControlId::标签19, ControlId::标签20}) {
    view_.setUnderlined(link);
  }
  return true;
}

void Wizard::onNextPressed() {
  switch (view_.currentPage()) {
    case kWelcome:
      enterSelection();
      break;
    case kSelection:
      startInstall();
      break;
    case kInstalling:
      completeInstall();
      break;
    case kFinished:
      finish();
      break;
    default:
      break;
  }
}

void Wizard::enterSelection() {
  const ClassifyOutcome c = classifyOs(profile_);
  if (c.kind == Classification::Refused) {
    view_.showMessage(kTooOldText, kMessageTitle);
    return;
  }
  if (c.kind == Classification::Classified) buildComponentTree(tree_, c.osClass);
  view_.setPresetSelection(static_cast<int>(Preset::Recommended));
  applyPreset(tree_, Preset::Recommended);
  tree_.ensureVisible(0);
  view_.showPage(kSelection);
  view_.setCaption(ControlId::按钮1, kInstallCaption);
  view_.setVisible(ControlId::按钮2, true);
}

void Wizard::startInstall() {
  view_.showPage(kInstalling);
  view_.setCaption(ControlId::按钮1, kNextCaption);
  view_.setEnabled(ControlId::按钮1, false);
  view_.setEnabled(ControlId::按钮2, false);
  view_.setEnabled(ControlId::按钮6, false);
  view_.setCloseCommandEnabled(false);
  const InstallRunSettings settings{payloadArchivePath(programFolder_), workDirectory_,
                                    profile_.is32Bit};
  run_ =
      startInstallRun(os_, tree_, settings, view_.progressSink(), [this] { view_.pumpMessages(); });
}

void Wizard::completeInstall() {
  view_.setCaption(ControlId::标签25, finishSummary(outcomes_, [this](std::string_view text) {
                     return view_.textFits(ControlId::标签25, text);
                   }));
  view_.setEnabled(ControlId::按钮1, true);
  view_.setCaption(ControlId::按钮1, kFinishCaption);
  view_.setCloseCommandEnabled(true);
  view_.showPage(kFinished);
}

void Wizard::finish() {
  deleteTree(os_, workDirectory_);
  view_.openUrl(kAuthorPageUrl);
  view_.openUrl(kForumUrl);
  view_.exitProgram();
}

void Wizard::onBackPressed() {
  if (view_.currentPage() != kSelection) return;
  view_.showPage(kWelcome);
  view_.setVisible(ControlId::按钮2, false);
  view_.setCaption(ControlId::按钮1, kNextCaption);
}

bool Wizard::canClose() { return view_.currentPage() != kInstalling; }

void Wizard::onCancelPressed() {
  if (!view_.askYesNo(kCancelQuestion, kMessageTitle)) return;
  view_.openUrl(kAuthorPageUrl);
  view_.openUrl(kForumUrl);
  view_.exitProgram();
}

void Wizard::onWindowDestroyed() {
  view_.openUrl(kAuthorPageUrl);
  view_.openUrl(kHomePageUrl);
}

void Wizard::onLinkPressed(ControlId label) {
  switch (label) {
    case ControlId::标签8:
    case ControlId::标签14:
    case ControlId::标签20:
      view_.openUrl(kForumUrl);
      break;
    case ControlId::标签9:
    case ControlId::标签13:
    case ControlId::标签19:
      view_.openUrl(kHomePageUrl);
      break;
    case ControlId::标签17:
    case ControlId::标签18:
      view_.openUrl(kAuthorPageUrl);
      break;
    case ControlId::透明标签1:
    case ControlId::透明标签2:
      view_.openUrl(kBrowserPromoUrl);
      break;
    default:
      break;
  }
}

void Wizard::onCheckUpdatesPressed() { view_.openUrl(kDownloadPageUrl); }

void Wizard::onPresetPicked(int entry) { applyPreset(tree_, entry); }

void Wizard::onTreeCheckBoxClicked(std::int32_t index, CheckState reported) {
  onCheckBoxClicked(tree_, index, reported);
}

void Wizard::applyStatusText(std::string_view text) { view_.setCaption(ControlId::标签3, text); }

void Wizard::applyPercent(int percent) { view_.setProgress(percent); }

void Wizard::applyComponentDone(const ComponentOutcome& outcome) { outcomes_.push_back(outcome); }

void Wizard::applyRunFinished() { onNextPressed(); }

}  // namespace norvane
