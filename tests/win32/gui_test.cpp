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
    ASSERT_TRUE(CopyFileW(toWide(testing::besideTestProgram("norvane.exe")).c_str(),
                          toWide(program).c_str(), FALSE));
    ASSERT_EQ(platformOs().createDirectory(temp), kOsOk);
  }
  void placeArchive(std::int64_t length) {
    OpenedFile f = createTruncatedFile(platformOs(), folder / "Kavrin.cab", FileShare::None);
    ASSERT_TRUE(f.file.valid());
    // Sparse: only the last byte is written.
    platformOs().seek(f.file.id(), length - 1, SeekFrom::Begin);
    ASSERT_EQ(platformOs().write(f.file.id(), "", 1), kOsOk);
  }
  // With its own temporary folder.
  ChildProcess start() {
    platformOs().deleteFile(log);
    return ChildProcess(program, "", {{L"TEMP", toWide(temp)}, {L"TMP", toWide(temp)}});
  }
  std::string openedUrls() const {
    return testing::fileExists(log) ? testing::readWholeFile(log) : std::string();
  }
  bool waitForUrls(std::size_t count) const {
    for (int i = 0; i < 100; ++i) {
      const std::string urls = openedUrls();
      if (static_cast<std::size_t>(std::count(urls.begin(), urls.end(), '\n')) >= count)
        return true;
      Sleep(100);
    }
    return false;
  }

  TempDir folder;
  std::string program;
  std::string temp = folder / "temp";
  // Where the prefix's stand-in browser logs the addresses it is given.
  std::string log = "C:\\norvane-urls.log";
};

TEST_F(Gui, StartsWithItsWindowAndClosingOpensTwoPages) {
  placeArchive(897'823'040);
  ChildProcess child = start();
  ASSERT_TRUE(child.valid());
  const HWND window = testing::waitForWindow(child.id(), L"NorvaneWizardWindow", kPatience);
  ASSERT_NE(window, nullptr);
  wchar_t title[128] = {};
  GetWindowTextW(window, title, 128);
  EXPECT_EQ(toUtf8(title), "Norvane 游戏运行库合集 v2.6");
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
  EXPECT_TRUE(openedUrls().empty());

  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(child.waitForExit(kPatience, code));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(waitForUrls(2));
  // The stand-in browser gets the address as Wine normalises it. Wine hands
  // each address to a browser process of its own, so they may arrive in
  // either order; the order the wizard asks for is checked natively.
  std::vector<std::string> urls;
  std::istringstream lines(openedUrls());
  for (std::string line; std::getline(lines, line);) urls.push_back(line);
  std::sort(urls.begin(), urls.end());
  EXPECT_EQ(urls,
            (std::vector<std::string>{"http://weibo.nv.example/merrow", "http://www.nv.example/"}));
  EXPECT_TRUE(folderExists(temp + "\\Kavrin")) << "closing leaves the work folder";
  platformOs().deleteFile(log);
}

TEST_F(Gui, MissingArchiveShowsItsMessageFirstAndEnds) {
  ChildProcess child = start();
  ASSERT_TRUE(child.valid());
  const HWND box = testing::waitForWindow(child.id(), L"#32770", kPatience);
  ASSERT_NE(box, nullptr);
  wchar_t title[128] = {};
  GetWindowTextW(box, title, 128);
  EXPECT_EQ(toUtf8(title), "请重新下载");
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text control
  EXPECT_EQ(toUtf8(text), "未在本目录发现Kavrin.cab文件");
  EXPECT_EQ(testing::waitForWindow(child.id(), L"NorvaneWizardWindow", 0), nullptr);
  EXPECT_TRUE(openedUrls().empty()) << "the page opens after OK";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 99;
  ASSERT_TRUE(child.waitForExit(kPatience, code));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(waitForUrls(1));
  EXPECT_EQ(openedUrls(), "http://www.nv.example/runtimes/\n");
  EXPECT_TRUE(platformOs().listDirectory(temp).value.empty()) << "no work folder";
  platformOs().deleteFile(log);
}

}  // namespace
}  // namespace norvane
