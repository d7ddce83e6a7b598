// The real program under Wine and Xvfb: start-up, its window, the missing
// archive path, and the pages a closed window opens.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <sstream>

#include "os/file_tree.h"
#include "os/os_handles.h"
#include "os/win32_text.h"
#include "support/platform.h"
#include "support/win32_child.h"

namespace norvane {
namespace {

using testing::ChildProcess;
using testing::folderExists;
using testing::platformOs;
using testing::TempDir;

constexpr DWORD kPatience = 60000;

class Gui : public ::testing::Test {
 protected:
  void SetUp() override {
    program = folder / "norvane.exe";
    ASSERT_TRUE(testing::copyBesideTestProgram("norvane.exe", program));
    ASSERT_EQ(platformOs().createDirectory(temp), kOsOk);
  }
  // With its own temporary folder.
  ChildProcess start() {
    testing::forgetOpenedUrls();
    return ChildProcess(program, "", {{L"TEMP", toWide(temp)}, {L"TMP", toWide(temp)}});
  }

  TempDir folder;
  std::string program;
  std::string temp = folder / "temp";
};

TEST_F(Gui, StartsWithItsWindowAndClosingOpensTwoPages) {
  testing::writeSparseFile(folder / "Kavrin.cab", 897'823'040);
  ChildProcess child = start();
  ASSERT_TRUE(child.valid());
  const HWND window = testing::waitForWindow(child.id(), L"NorvaneWizardWindow", kPatience);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(testing::windowText(window), "Norvane 游戏运行库合集 v2.6");
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  EXPECT_EQ(outer.right - outer.left, 454);
  EXPECT_EQ(outer.bottom - outer.top, 400);
  EXPECT_EQ(client.right - client.left, 448);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0) << "fixed size, no maximize box";
  EXPECT_TRUE(folderExists(temp + "\\Kavrin")) << "the work folder is made before the window shows";
  EXPECT_TRUE(testing::urlsOpenedWithin(2000).empty());

  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(child.waitForExit(kPatience, code));
  EXPECT_EQ(code, 0u);
  // The stand-in browser gets each address as Wine normalises it; the order
  // the wizard asks for is checked natively.
  EXPECT_EQ(testing::openedUrls(2),
            (std::vector<std::string>{"http://weibo.nv.example/merrow", "http://www.nv.example/"}));
  EXPECT_TRUE(folderExists(temp + "\\Kavrin")) << "closing leaves the work folder";
  testing::forgetOpenedUrls();
}

TEST_F(Gui, MissingArchiveShowsItsMessageFirstAndEnds) {
  ChildProcess child = start();
  ASSERT_TRUE(child.valid());
  const HWND box = testing::waitForWindow(child.id(), L"#32770", kPatience);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::windowText(box), "请重新下载");
  EXPECT_EQ(testing::messageBoxText(box), "未在本目录发现Kavrin.cab文件");
  EXPECT_EQ(testing::waitForWindow(child.id(), L"NorvaneWizardWindow", 0), nullptr);
  EXPECT_TRUE(testing::urlsOpenedWithin(2000).empty()) << "the page opens after OK";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 99;
  ASSERT_TRUE(child.waitForExit(kPatience, code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(testing::openedUrls(1), std::vector<std::string>{"http://www.nv.example/runtimes/"});
  EXPECT_TRUE(platformOs().listDirectory(temp).value.empty()) << "no work folder";
  testing::forgetOpenedUrls();
}

}  // namespace
}  // namespace norvane
