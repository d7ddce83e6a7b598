// The finish page's account of a run, measured as the window draws it: the
// worst run the catalogue allows must still show whole in its label.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "ui/finish_summary.h"
#include "ui/layout.h"
#include "ui/win32_control_class.h"
#include "ui/win32_text_fit.h"

namespace norvane {
namespace {

// A label made as the window makes the finish page's, in a hidden window.
class FinishLabel : public ::testing::Test {
 protected:
  void SetUp() override {
    const ControlSpec& spec = specOf(ControlId::标签25);
    // The window gives every label without a title font the system's GUI font.
    ASSERT_FALSE(spec.titleFont);
    const ControlClass kind = controlClassOf(spec);
    parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    label =
        CreateWindowExW(kind.exStyle, kind.className, L"", kind.style, spec.x, spec.y, spec.width,
                        kind.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }
  void TearDown() override {
    if (parent != nullptr) DestroyWindow(parent);
  }
  std::string summaryOf(const std::vector<ComponentOutcome>& outcomes) {
    return finishSummary(outcomes,
                         [this](std::string_view t) { return textFitsControl(label, t); });
  }

  HWND parent = nullptr;
  HWND label = nullptr;
};

// Every component: those with the longest captions failing with the
// longest reason there is, the next longest needing a restart, the rest
// already present.
std::vector<ComponentOutcome> worstRun() {
  std::vector<ComponentId> byLength;
  for (const ComponentEntry& e : allComponents()) byLength.push_back(e.id);
  std::stable_sort(byLength.begin(), byLength.end(), [](ComponentId a, ComponentId b) {
    return entryFor(a)->progressCaption.size() > entryFor(b)->progressCaption.size();
  });
  std::vector<ComponentOutcome> run;
  for (ComponentId id = 1; id <= 35; ++id) {
    const auto rank = std::find(byLength.begin(), byLength.end(), id) - byLength.begin();
    if (rank < 12) {
      run.push_back({id, Outcome::Failed, FailedStep::Start, 0, "路径含有无法传递的字符"});
    } else if (rank < 24) {
      run.push_back({id, Outcome::RestartNeeded, FailedStep::None, 0, ""});
    } else {
      run.push_back({id, Outcome::AlreadyPresent, FailedStep::None, 0, ""});
    }
  }
  return run;
}

TEST_F(FinishLabel, TheWorstRunStillShowsWhole) {
  const std::string text = summaryOf(worstRun());
  EXPECT_TRUE(textFitsControl(label, text)) << text;
  EXPECT_NE(text.find("12 个组件未能安装"), std::string::npos) << text;
  EXPECT_NE(finishSummary(worstRun(), {}), text) << "the full account cannot fit";
}

TEST_F(FinishLabel, AnOrdinaryRunIsToldInFull) {
  const std::vector<ComponentOutcome> run{
      {5, Outcome::AlreadyPresent, FailedStep::None, 0, ""},
      {17, Outcome::RestartNeeded, FailedStep::None, 0, ""},
      {26, Outcome::Failed, FailedStep::ExitCode, 1603, "错误代码 1603"},
      {27, Outcome::Installed, FailedStep::None, 0, ""}};
  EXPECT_EQ(summaryOf(run), finishSummary(run, {}));
}

TEST_F(FinishLabel, MeasuresWhatTheLabelCannotHold) {
  EXPECT_TRUE(textFitsControl(label, "一行"));
  EXPECT_FALSE(textFitsControl(label, "一\r\n二\r\n三\r\n四\r\n五\r\n六\r\n七\r\n八\r\n九\r\n十"));
  EXPECT_FALSE(textFitsControl(label, std::string(200, 'W'))) << "a word wider than the label";
}

}  // namespace
}  // namespace norvane
