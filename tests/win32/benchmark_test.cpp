// Not a test: a measurement that scripts/bench.sh runs (it is disabled in
// the suite). Starts the wizard beside the stand-in archive, notes how long
// the window takes to appear, then installs everything while asking the
// window every 10 ms whether it answers, and prints the figures.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "os/win32_text.h"
#include "support/platform.h"
#include "support/wizard_driver.h"

namespace norvane {
namespace {

using C = ControlId;

TEST(Benchmark, DISABLED_StartUpAndResponsivenessWhileInstalling) {
  wchar_t dir[1024] = {};
  ASSERT_NE(GetEnvironmentVariableW(L"NORVANE_STANDIN_DIR", dir, 1024), 0u);
  testing::TempDir temp;
  const DWORD started = GetTickCount();
  testing::WizardDriver w(toUtf8(dir) + "\\whole\\norvane.exe", temp.path());
  ASSERT_TRUE(w.started()) << w.whyNotStarted();
  const DWORD startUpMs = GetTickCount() - started;
  w.press(C::按钮1);
  ASSERT_TRUE(w.waitFor([&] { return w.page() == 1; }));
  w.pickPreset(1);  // everything: every payload staged, every ZIP unpacked
  w.press(C::按钮1);
  DWORD slowest = 0;
  int asked = 0;
  const DWORD runStart = GetTickCount();
  while (w.page() != 3 && GetTickCount() - runStart < 600000) {
    const DWORD before = GetTickCount();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(w.window(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    slowest = std::max(slowest, GetTickCount() - before);
    ++asked;
    Sleep(10);
  }
  const DWORD runMs = GetTickCount() - runStart;
  std::printf("BENCH startup_ms=%lu longest_answer_ms=%lu asked=%d run_ms=%lu\n", startUpMs,
              slowest, asked, runMs);
  w.requestClose();
  EXPECT_EQ(w.exitCode(), 0u);
  testing::openedUrls(2);
}

}  // namespace
}  // namespace norvane
