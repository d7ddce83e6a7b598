// A DLL planted beside the program under the names Windows loads by name
// is never loaded, by the hardened probe or by the program itself.
#include <gtest/gtest.h>
#include <windows.h>

#include "os/win32_text.h"
#include "support/platform.h"
#include "support/win32_child.h"

namespace norvane {
namespace {

using testing::fileExists;
using testing::TempDir;

const char* const kPlantedNames[] = {"uxtheme.dll", "version.dll", "dwmapi.dll", "comctl32.dll"};

// Wine told to prefer a DLL found on the search path over its own, as
// Windows would for these names.
const wchar_t* const kPreferPlanted =
    L"uxtheme,version,dwmapi,comctl32=n,b;mscoree,mshtml=;winemenubuilder.exe=d";

DWORD runPreferringPlanted(const std::string& program, const std::string& arguments) {
  testing::ChildProcess child(program, arguments, {{L"WINEDLLOVERRIDES", kPreferPlanted}});
  DWORD code = 0xFFFFFFFF;
  if (!child.waitForExit(60000, code)) return 0xFFFFFFFF;
  return code;
}

class DllSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kPlantedNames) {
      ASSERT_TRUE(testing::copyBesideTestProgram("norvane_canary.dll", dir / name));
    }
  }
  std::vector<std::string> loadedCanaries() const {
    std::vector<std::string> out;
    for (const char* name : kPlantedNames) {
      if (fileExists(dir / (std::string(name) + ".loaded"))) out.emplace_back(name);
    }
    return out;
  }
  std::string place(const std::string& program) {
    const std::string target = dir / program;
    EXPECT_TRUE(testing::copyBesideTestProgram(program, target));
    return target;
  }
  TempDir dir;
};

TEST_F(DllSearch, UnhardenedLoadsThePlantedDllsSoTheCanariesWork) {
  ASSERT_EQ(runPreferringPlanted(place("norvane_dll_search_probe.exe"), "--unhardened"), 0u);
  EXPECT_FALSE(loadedCanaries().empty());
}

TEST_F(DllSearch, HardenedLoadsNone) {
  ASSERT_EQ(runPreferringPlanted(place("norvane_dll_search_probe.exe"), ""), 0u);
  EXPECT_EQ(loadedCanaries(), std::vector<std::string>{});
}

TEST_F(DllSearch, TheProgramLoadsNoneWhileShowingItsWindow) {
  testing::writeWholeFile(dir / "Kavrin.cab", "");  // so it gets as far as its window
  testing::ChildProcess child(place("norvane.exe"), "", {{L"WINEDLLOVERRIDES", kPreferPlanted}});
  ASSERT_TRUE(child.valid());
  const HWND window = testing::waitForWindow(child.id(), L"NorvaneWizardWindow", 60000);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(child.waitForExit(60000, code));
  EXPECT_EQ(loadedCanaries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace norvane
