#include "ui/wizard.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "selection/check_model.h"
#include "support/platform.h"
#include "support/test_os.h"
#include "ui/layout.h"
#include "ui/texts.h"
#include "ui/web_addresses.h"

namespace norvane {
namespace {

using testing::folderExists;
using testing::platformOs;
using testing::TempDir;
using testing::TestOs;
using testing::writeWholeFile;

// Records what the window is told; its progress sink queues the worker's
// calls the way posted messages do, and drain() applies them in order.
class FakeView final : public WizardView, public ProgressSink {
 public:
  struct Button {
    std::string caption;
    bool enabled = true;
    bool visible = true;
  };

  FakeView() {
    buttons[ControlId::按钮1] = {std::string(kNextCaption)};
    buttons[ControlId::按钮2] = {"上一步(P) >", true, false};
    buttons[ControlId::按钮6] = {"取消(C)"};
    buttons[ControlId::按钮7] = {"检查更新(U)"};
  }

  int currentPage() override { return page; }
  void showPage(int p) override { page = p; }
  bool textFits(ControlId, std::string_view) override { return true; }
  void setCaption(ControlId c, std::string_view text) override {
    if (c == ControlId::标签3) {
      status = text;
    } else {
      buttons[c].caption = text;
    }
  }
  void setEnabled(ControlId c, bool enabled) override { buttons[c].enabled = enabled; }
  void setVisible(ControlId c, bool visible) override { buttons[c].visible = visible; }
  void setUnderlined(ControlId c) override { underlined.push_back(c); }
  void setCloseCommandEnabled(bool enabled) override { closeEnabled = enabled; }
  void setPresetSelection(int entry) override { preset = entry; }
  void setProgress(int percent) override { progress.push_back(percent); }
  void showWelcomePictures() override { log.push_back("pictures"); }
  void enableThemedDrawing() override { log.push_back("themes"); }
  void showMessage(std::string_view text, std::string_view title) override {
    messages.push_back(std::string(title) + ": " + std::string(text));
  }
  bool askYesNo(std::string_view text, std::string_view title) override {
    messages.push_back(std::string(title) + "? " + std::string(text));
    return answerYes;
  }
  void openUrl(std::string_view address) override { urls.emplace_back(address); }
  void exitProgram() override { exited = true; }
  void pumpMessages() override { ++pumped; }
  ProgressSink& progressSink() override { return *this; }

  // The worker's side.
  void setStatusText(std::string_view text) override {
    post([t = std::string(text)](Wizard& w) { w.applyStatusText(t); });
  }
  void setPercent(int percent) override {
    post([percent](Wizard& w) { w.applyPercent(percent); });
  }
  void componentDone(const ComponentOutcome& o) override {
    post([o](Wizard& w) { w.applyComponentDone(o); });
  }
  void runFinished() override {
    post([](Wizard& w) { w.applyRunFinished(); }, true);
  }

  // The UI thread's side: applies everything up to runFinished.
  void drainUntilFinished(Wizard& wizard) {
    for (;;) {
      std::function<void(Wizard&)> call;
      bool last = false;
      {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(
            ready_.wait_for(lock, std::chrono::seconds(30), [this] { return !queue_.empty(); }));
        std::tie(call, last) = std::move(queue_.front());
        queue_.pop_front();
      }
      call(wizard);
      if (last) return;
    }
  }

  int page = 0;
  std::map<ControlId, Button> buttons;
  std::vector<ControlId> underlined;
  bool closeEnabled = true;
  int preset = -1;
  std::vector<int> progress;
  std::string status{kInitialStatus};
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::vector<std::string> urls;
  bool answerYes = false;
  bool exited = false;
  int pumped = 0;

 private:
  void post(std::function<void(Wizard&)> call, bool last = false) {
    std::lock_guard lock(mutex_);
    queue_.emplace_back(std::move(call), last);
    ready_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::pair<std::function<void(Wizard&)>, bool>> queue_;
};

class WizardFlow : public ::testing::Test {
 protected:
  WizardFlow() : os(platformOs()) {
    writeWholeFile(program / "Kavrin.cab", "");
    os.pretendTemporaryFolder({temp.path() + "\\", kOsOk});
    os.pretendWindows({{5, 1}, kOsOk}, false);  // XP, 32-bit: OlderX86
    os.fakeProcesses([](const std::string&) { return ProcessOutcome{true, 0, kOsOk}; });
  }
  Wizard& started() {
    wizard = std::make_unique<Wizard>(os, view, program.path());
    EXPECT_TRUE(wizard->onWindowCreated());
    return *wizard;
  }
  // The button table's row for the view's current state.
  std::string buttonRow() {
    auto b = [&](ControlId c) {
      const auto& s = view.buttons[c];
      return s.caption + (s.visible ? "" : " hidden") + (s.enabled ? "" : " disabled");
    };
    return b(ControlId::按钮1) + " | " + b(ControlId::按钮2) + " | " + b(ControlId::按钮6) + " | " +
           (view.closeEnabled ? "close" : "no close") + " | " + b(ControlId::按钮7);
  }

  TempDir program;
  TempDir temp;
  TestOs os;
  FakeView view;
  std::unique_ptr<Wizard> wizard;
};

TEST_F(WizardFlow, StartUpPreparesEverythingBeforeTheWindowShows) {
  Wizard& w = started();
  EXPECT_EQ(view.log, (std::vector<std::string>{"pictures", "themes"}));
  EXPECT_EQ(w.profile().versionText, "5.1");
  EXPECT_EQ(w.workDirectory(), temp.path() + "\\\\Kavrin\\");
  EXPECT_TRUE(folderExists(w.workDirectory()));
  using C = ControlId;
  EXPECT_EQ(view.underlined, (std::vector<ControlId>{C::标签8, C::标签9, C::标签13, C::标签14,
                                                     C::标签18, C::标签17, C::标签19, C::标签20}));
  EXPECT_EQ(view.page, 0);
  EXPECT_EQ(w.tree().itemCount(), 21) << "the initial items until the first Next";
  EXPECT_TRUE(view.urls.empty());
}

TEST_F(WizardFlow, MissingArchiveShowsItsMessageOpensTheDownloadPageAndEnds) {
  testing::platformOs().deleteFile(program / "Kavrin.cab");
  Wizard w(os, view, program.path());
  EXPECT_FALSE(w.onWindowCreated());
  EXPECT_EQ(view.messages, std::vector<std::string>{"请重新下载: 未在本目录发现Kavrin.cab文件"});
  EXPECT_EQ(view.urls, std::vector<std::string>{std::string(kDownloadPageUrl)});
  EXPECT_TRUE(view.exited);
  EXPECT_TRUE(platformOs().listDirectory(temp.path()).value.empty()) << "no work folder";
  EXPECT_EQ(view.log, std::vector<std::string>{"pictures"});
}

TEST_F(WizardFlow, AFolderNamedLikeTheArchiveCountsAsPresent) {
  platformOs().deleteFile(program / "Kavrin.cab");
  platformOs().createDirectory(program / "Kavrin.cab");
  Wizard w(os, view, program.path());
  EXPECT_TRUE(w.onWindowCreated());
}

TEST_F(WizardFlow, NoWorkFolderEndsTheProgramWithAMessage) {
  os.pretendTemporaryFolder({"C:\\", kOsOk});
  Wizard w(os, view, program.path());
  EXPECT_FALSE(w.onWindowCreated());
  EXPECT_EQ(view.messages.size(), 1u);
  EXPECT_TRUE(view.exited);
}

TEST_F(WizardFlow, ButtonTableAlongTheWholeRun) {
  Wizard& w = started();
  const std::string page0 = "下一步(N) > | 上一步(P) > hidden | 取消(C) | close | 检查更新(U)";
  EXPECT_EQ(buttonRow(), page0);
  w.onNextPressed();
  EXPECT_EQ(view.page, 1);
  EXPECT_EQ(buttonRow(), "安装(I) | 上一步(P) > | 取消(C) | close | 检查更新(U)");
  EXPECT_TRUE(w.canClose());
  w.onBackPressed();
  EXPECT_EQ(view.page, 0);
  EXPECT_EQ(buttonRow(), page0);
  w.onNextPressed();
  applyPreset(w.tree(), Preset::Custom);
  onCheckBoxClicked(w.tree(), 18, kChecked);  // DirectX on OlderX86
  w.onNextPressed();
  EXPECT_EQ(view.page, 2);
  EXPECT_EQ(
      buttonRow(),
      "下一步(N) > disabled | 上一步(P) > disabled | 取消(C) disabled | no close | 检查更新(U)");
  EXPECT_FALSE(w.canClose());
  EXPECT_EQ(view.pumped, w.tree().itemCount());
  view.drainUntilFinished(w);
  EXPECT_EQ(view.page, 3);
  EXPECT_EQ(buttonRow(), "完成(F) | 上一步(P) > disabled | 取消(C) disabled | close | 检查更新(U)");
  EXPECT_TRUE(w.canClose());
  EXPECT_EQ(view.progress, (std::vector<int>{50, 100}));
  EXPECT_EQ(view.status, "DirectX 9.0c (2010.6)");
  // The archive beside it is empty: the finish page says so.
  EXPECT_EQ(view.buttons[ControlId::标签25].caption,
            "1 个组件未能安装：\r\nDirectX 9.0c (2010.6)：安装文件读取不完整");
  w.onBackPressed();  // does nothing on the finish page
  EXPECT_EQ(view.page, 3);
  EXPECT_TRUE(view.urls.empty());
}

TEST_F(WizardFlow, NextBackNextRebuildsWithTheRecommendedPreset) {
  Wizard& w = started();
  w.onNextPressed();
  EXPECT_EQ(view.preset, 0);
  EXPECT_EQ(w.tree().itemCount(), 30) << "OlderX86";
  EXPECT_EQ(w.tree().lastEnsuredVisible(), 0);
  std::vector<CheckState> recommended;
  for (std::int32_t i = 0; i < w.tree().itemCount(); ++i)
    recommended.push_back(w.tree().checkStateOf(i));
  view.preset = 2;
  w.onPresetPicked(2);
  w.onTreeCheckBoxClicked(25, kChecked);
  w.onBackPressed();
  EXPECT_EQ(w.tree().checkStateOf(25), kChecked) << "Back keeps the boxes";
  w.onNextPressed();
  EXPECT_EQ(view.preset, 0);
  for (std::int32_t i = 0; i < w.tree().itemCount(); ++i) {
    EXPECT_EQ(w.tree().checkStateOf(i), recommended[static_cast<std::size_t>(i)]) << i;
  }
}

TEST_F(WizardFlow, RefusedSystemStaysOnTheWelcomePage) {
  os.pretendWindows({{5, 0}, kOsOk}, true);
  Wizard& w = started();
  for (int press = 0; press < 2; ++press) {
    w.onNextPressed();
    EXPECT_EQ(view.page, 0);
    EXPECT_FALSE(view.buttons[ControlId::按钮2].visible);
  }
  EXPECT_EQ(view.messages, std::vector<std::string>(2, "Merrow: 您的系统太老啦，不被本程序支持"));
  EXPECT_EQ(w.tree().itemCount(), 21);
  EXPECT_EQ(view.preset, -1) << "the selector is not touched";
}

TEST_F(WizardFlow, NoClassShowsTheInitialItemsAndInstallsNothing) {
  os.pretendWindows({{5, 15}, kOsOk}, false);
  Wizard& w = started();
  w.onNextPressed();
  EXPECT_EQ(view.page, 1);
  ASSERT_EQ(w.tree().itemCount(), 21);
  for (std::int32_t i = 0; i < 21; ++i) EXPECT_EQ(w.tree().checkStateOf(i), kChecked) << i;
  w.onNextPressed();
  view.drainUntilFinished(w);
  EXPECT_TRUE(w.run()->queue.empty());
  EXPECT_EQ(view.page, 3);
  EXPECT_EQ(view.status, kInitialStatus);
}

TEST_F(WizardFlow, InstallWithNothingCheckedGoesStraightToTheFinishPage) {
  Wizard& w = started();
  w.onNextPressed();
  w.onPresetPicked(2);
  w.onNextPressed();
  view.drainUntilFinished(w);
  EXPECT_EQ(view.page, 3);
  EXPECT_EQ(view.progress, std::vector<int>{100});
  EXPECT_EQ(view.status, kInitialStatus);
  EXPECT_TRUE(os.effectsStartingWith("run ").empty());
  EXPECT_EQ(view.buttons[ControlId::标签25].caption, "") << "nothing chosen, nothing extra";
}

TEST_F(WizardFlow, CancelAnsweredNoChangesNothingAndYesEnds) {
  Wizard& w = started();
  w.onNextPressed();
  w.onCancelPressed();
  EXPECT_FALSE(view.exited);
  EXPECT_TRUE(view.urls.empty());
  EXPECT_EQ(view.page, 1);
  EXPECT_EQ(view.messages, std::vector<std::string>{
                               "Merrow? 您确定要退出“Norvane 游戏运行库合集 v2.6”安装程序？"});
  view.answerYes = true;
  w.onCancelPressed();
  EXPECT_TRUE(view.exited);
  EXPECT_EQ(view.urls,
            (std::vector<std::string>{std::string(kAuthorPageUrl), std::string(kForumUrl)}));
  EXPECT_TRUE(folderExists(w.workDirectory())) << "Cancel leaves the work folder";
}

TEST_F(WizardFlow, FinishDeletesTheWorkFolderAndOpensTwoPages) {
  Wizard& w = started();
  w.onNextPressed();
  w.onNextPressed();
  view.drainUntilFinished(w);
  writeWholeFile(w.workDirectory() + "left.tmp", "x");
  w.onNextPressed();
  EXPECT_TRUE(view.exited);
  EXPECT_FALSE(folderExists(w.workDirectory()));
  EXPECT_EQ(view.urls,
            (std::vector<std::string>{std::string(kAuthorPageUrl), std::string(kForumUrl)}));
}

TEST_F(WizardFlow, ClosingAsksCanCloseAndTheDestroyHandlerOpensTwoPages) {
  struct Case {
    int pageToReach;
  };
  for (const Case& c : {Case{0}, Case{1}, Case{3}}) {
    FakeView fresh;
    Wizard w(os, fresh, program.path());
    ASSERT_TRUE(w.onWindowCreated());
    if (c.pageToReach >= 1) w.onNextPressed();
    if (c.pageToReach == 3) {
      w.onNextPressed();
      fresh.drainUntilFinished(w);
    }
    ASSERT_EQ(fresh.page, c.pageToReach);
    EXPECT_TRUE(w.canClose());
    w.onWindowDestroyed();
    EXPECT_EQ(fresh.urls,
              (std::vector<std::string>{std::string(kAuthorPageUrl), std::string(kHomePageUrl)}));
    EXPECT_TRUE(folderExists(w.workDirectory())) << "closing leaves the work folder";
    EXPECT_FALSE(fresh.exited);
  }
}

TEST_F(WizardFlow, LinksAndCheckForUpdatesOpenTheirPages) {
  Wizard& w = started();
  using C = ControlId;
  const std::pair<ControlId, std::string_view> links[] = {{C::标签8, kForumUrl},
                                                          {C::标签14, kForumUrl},
                                                          {C::标签20, kForumUrl},
                                                          {C::标签9, kHomePageUrl},
                                                          {C::标签13, kHomePageUrl},
                                                          {C::标签19, kHomePageUrl},
                                                          {C::标签17, kAuthorPageUrl},
                                                          {C::标签18, kAuthorPageUrl},
                                                          {C::透明标签1, kBrowserPromoUrl},
                                                          {C::透明标签2, kBrowserPromoUrl}};
  for (const auto& [label, url] : links) {
    view.urls.clear();
    w.onLinkPressed(label);
    EXPECT_EQ(view.urls, std::vector<std::string>{std::string(url)}) << specOf(label).designName;
    // A label that shows an address shows the one it opens.
    if (specOf(label).text.starts_with("http://")) {
      EXPECT_EQ(specOf(label).text, url);
    }
  }
  view.urls.clear();
  w.onLinkPressed(C::标签6);  // a plain label
  EXPECT_TRUE(view.urls.empty());
  for (int page : {0, 1, 3}) {
    view.page = page;
    view.urls.clear();
    const std::string before = buttonRow();
    w.onCheckUpdatesPressed();
    EXPECT_EQ(view.urls, std::vector<std::string>{std::string(kDownloadPageUrl)});
    EXPECT_EQ(buttonRow(), before);
    EXPECT_EQ(view.page, page);
  }
}

TEST(Addresses, AllUnderTheReservedExampleDomain) {
  for (std::string_view url :
       {kHomePageUrl, kForumUrl, kDownloadPageUrl, kAuthorPageUrl, kBrowserPromoUrl}) {
    const auto host = url.substr(7, url.find('/', 7) - 7);
    EXPECT_TRUE(url.starts_with("http://")) << url;
    EXPECT_TRUE(host.ends_with(".example")) << url;
  }
}

TEST(Layout, EveryControlOnceWithItsPlace) {
  std::map<ControlId, int> seen;
  for (const ControlSpec& s : wizardLayout()) ++seen[s.id];
  for (const auto& [id, count] : seen) EXPECT_EQ(count, 1) << specOf(id).designName;
  EXPECT_EQ(seen.size(), 41u);
  const ControlSpec& container = specOf(ControlId::高级选择夹1);
  EXPECT_EQ(container.x, -2);
  EXPECT_EQ(container.y, -23);
  EXPECT_EQ(specOf(ControlId::按钮1).x, 258);
  EXPECT_TRUE(specOf(ControlId::按钮2).initiallyHidden);
  int wrapping = 0;
  for (const ControlSpec& s : wizardLayout()) {
    wrapping += s.wordWrap;
    if (s.onPicture != ControlId::None) {
      EXPECT_EQ(specOf(s.onPicture).kind, ControlKind::Picture) << s.designName;
      EXPECT_EQ(specOf(s.onPicture).page, s.page) << s.designName;
    }
  }
  EXPECT_EQ(wrapping, 4) << "only 标签5, 标签11, 标签23 and the outcome 标签25 wrap";
  EXPECT_TRUE(
      welcomeText().ends_with("！\r\n\r\n本工具由 Norvane 整理制作。\r\n\r\n\r\nNorvane "
                              "欢迎您的到来"));
}

}  // namespace
}  // namespace norvane
