// The real wizard pressed through its pages under Wine, beside an archive
// of the right length whose payloads are zeros (every installer fails at
// once): the page flow, the ways out and the work folder's life.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <sstream>

#include "os/file_tree.h"
#include "os/os_handles.h"
#include "os/win32_text.h"
#include "support/platform.h"
#include "support/win32_child.h"
#include "support/wizard_driver.h"

namespace norvane {
namespace {

using C = ControlId;
using testing::folderExists;
using testing::platformOs;
using testing::TempDir;
using testing::WizardDriver;

class WizardPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    program = folder / "norvane.exe";
    ASSERT_TRUE(testing::copyBesideTestProgram("norvane.exe", program));
    testing::writeSparseFile(folder / "Kavrin.cab", 897'823'040);
    ASSERT_EQ(platformOs().createDirectory(temp), kOsOk);
    testing::forgetOpenedUrls();
  }
  std::unique_ptr<WizardDriver> start() {
    auto d = std::make_unique<WizardDriver>(program, temp);
    EXPECT_TRUE(d->started()) << d->whyNotStarted();
    return d;
  }
  std::string workFolder() const { return temp + "\\Kavrin"; }

  TempDir folder;
  std::string program;
  std::string temp = folder / "temp";
};

TEST_F(WizardPaths, NextBackNextRebuildsWithTheRecommendedPreset) {
  auto w = start();
  ASSERT_TRUE(w->started()) << w->whyNotStarted();
  EXPECT_EQ(w->page(), 0);
  EXPECT_FALSE(w->visible(C::按钮2));
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 1; }));
  EXPECT_EQ(w->text(C::按钮1), "安装(I)");
  EXPECT_TRUE(w->visible(C::按钮2));
  ASSERT_TRUE(w->waitFor([&] { return w->treeStates().size() == 34u; })) << "NewerX64";
  const std::vector<int> recommended = w->treeStates();
  // Shown from its first item, though every group is open and the list is
  // longer than the box.
  Sleep(500);  // the tree is brought in line by a queued message
  EXPECT_EQ(w->firstVisibleTreeIndex(), 0);
  EXPECT_EQ(recommended[0], 2);
  EXPECT_EQ(recommended[29], 0);
  w->pickPreset(1);
  ASSERT_TRUE(w->waitFor([&] { return w->treeStates()[29] == 1; }));
  EXPECT_EQ(w->presetSelection(), 1);
  w->press(C::按钮2);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 0; }));
  EXPECT_EQ(w->text(C::按钮1), "下一步(N) >");
  EXPECT_FALSE(w->visible(C::按钮2));
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 1 && w->treeStates() == recommended; }));
  Sleep(500);
  EXPECT_EQ(w->firstVisibleTreeIndex(), 0);
  EXPECT_EQ(w->presetSelection(), 0) << "推荐安装";
  w->requestClose();
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_EQ(testing::openedUrls(2),
            (std::vector<std::string>{"http://weibo.nv.example/merrow", "http://www.nv.example/"}));
}

TEST_F(WizardPaths, CloseBoxOnTheSelectionPage) {
  auto w = start();
  ASSERT_TRUE(w->started()) << w->whyNotStarted();
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 1; }));
  ASSERT_TRUE(w->clickCloseBox());
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_TRUE(folderExists(workFolder()));
  EXPECT_EQ(testing::openedUrls(2),
            (std::vector<std::string>{"http://weibo.nv.example/merrow", "http://www.nv.example/"}));
}

TEST_F(WizardPaths, CustomWithNothingFinishesAtOnceAndFinishDeletesTheWorkFolder) {
  auto w = start();
  ASSERT_TRUE(w->started()) << w->whyNotStarted();
  EXPECT_TRUE(folderExists(workFolder()));
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 1; }));
  w->pickPreset(2);
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitForFinishPage(30000));
  EXPECT_EQ(w->text(C::标签3), "程序初始化中...");
  EXPECT_EQ(w->progress(), 100);
  EXPECT_EQ(w->text(C::按钮1), "完成(F)");
  EXPECT_TRUE(w->enabled(C::按钮1));
  EXPECT_FALSE(w->enabled(C::按钮2));
  EXPECT_FALSE(w->enabled(C::按钮6));
  w->press(C::按钮1);
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_FALSE(folderExists(workFolder()));
  EXPECT_EQ(testing::openedUrls(2),
            (std::vector<std::string>{"http://bbs.nv.example/", "http://weibo.nv.example/merrow"}));
}

TEST_F(WizardPaths, CancelNoStaysAndYesEndsLeavingTheWorkFolder) {
  auto w = start();
  ASSERT_TRUE(w->started()) << w->whyNotStarted();
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 1; }));
  // The question is modal: press Cancel from a thread of our own and answer it.
  for (const int answer : {IDNO, IDYES}) {
    HANDLE presser = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
          static_cast<WizardDriver*>(p)->press(C::按钮6);
          return 0;
        },
        w.get(), 0, nullptr);
    const HWND box = testing::waitForWindow(w->processId(), L"#32770", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testing::messageBoxText(box), "您确定要退出“Norvane 游戏运行库合集 v2.6”安装程序？");
    EXPECT_FALSE(IsWindowEnabled(w->window())) << "nothing can be pressed behind the question";
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    WaitForSingleObject(presser, 30000);
    CloseHandle(presser);
    if (answer == IDNO) {
      ASSERT_TRUE(w->waitFor(
          [&] { return testing::waitForWindow(w->processId(), L"#32770", 0) == nullptr; }));
      EXPECT_EQ(w->page(), 1);
      EXPECT_TRUE(IsWindowEnabled(w->window()));
      EXPECT_TRUE(testing::urlsOpenedWithin(2000).empty());
    }
  }
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_TRUE(folderExists(workFolder()));
  EXPECT_EQ(testing::openedUrls(2),
            (std::vector<std::string>{"http://bbs.nv.example/", "http://weibo.nv.example/merrow"}));
}

TEST_F(WizardPaths, CloseIsRefusedWhileInstallingAndAllowedOnTheFinishPage) {
  auto w = start();
  ASSERT_TRUE(w->started()) << w->whyNotStarted();
  w->press(C::按钮1);
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 1; }));
  w->pickPreset(1);  // everything: the run lasts long enough to try closing
  w->press(C::按钮1);
  // Staging every payload takes seconds: long enough to be refused. (The
  // grayed Close command is checked natively: Wine hands another process
  // no handle to this window's system menu.)
  ASSERT_TRUE(w->waitFor([&] { return w->page() == 2; }));
  // Both ways a close arrives: the grayed close box, and a close message
  // sent by anyone.
  ASSERT_TRUE(w->clickCloseBox());
  w->requestClose();
  EXPECT_TRUE(testing::urlsOpenedWithin(2000).empty());
  EXPECT_TRUE(IsWindow(w->window())) << "a close request during the install is refused";
  ASSERT_TRUE(w->waitForFinishPage());
  ASSERT_TRUE(w->clickCloseBox());
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_TRUE(folderExists(workFolder())) << "closing leaves the work folder";
  EXPECT_EQ(testing::openedUrls(2),
            (std::vector<std::string>{"http://weibo.nv.example/merrow", "http://www.nv.example/"}));
}

}  // namespace
}  // namespace norvane
