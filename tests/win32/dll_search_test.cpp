// A DLL planted beside the program under the names Windows loads by name
// is never loaded, by the hardened probe or by the program itself.
#include <gtest/gtest.h>
#include <windows.h>

#include "os/win32_text.h"
#include "support/platform.h"

namespace norvane {
namespace {

using testing::fileExists;
using testing::TempDir;

const char* const kPlantedNames[] = {"uxtheme.dll", "version.dll", "dwmapi.dll", "comctl32.dll"};

// Runs program in its folder with Wine told to prefer a DLL found on the
// search path over its own, as Windows would for these names.
DWORD runPreferringPlanted(const std::string& program, const std::string& arguments) {
  std::wstring line = L"\"" + toWide(program) + L"\" " + toWide(arguments);
  const std::wstring folder = toWide(program.substr(0, program.find_last_of('\\')));
  wchar_t saved[1024] = {};
  const DWORD had = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", saved, 1024);
  SetEnvironmentVariableW(
      L"WINEDLLOVERRIDES",
      L"uxtheme,version,dwmapi,comctl32=n,b;mscoree,mshtml=;winemenubuilder.exe=d");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL ok = CreateProcessW(toWide(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, folder.c_str(), &si, &pi);
  SetEnvironmentVariableW(L"WINEDLLOVERRIDES", had != 0 ? saved : nullptr);
  if (!ok) return 0xFFFFFFFF;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

class DllSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kPlantedNames) {
      ASSERT_TRUE(CopyFileW(toWide(testing::besideTestProgram("norvane_canary.dll")).c_str(),
                            toWide(dir / name).c_str(), FALSE));
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
    EXPECT_TRUE(CopyFileW(toWide(testing::besideTestProgram(program)).c_str(),
                          toWide(target).c_str(), FALSE));
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

TEST_F(DllSearch, TheProgramLoadsNone) {
  testing::writeWholeFile(dir / "Kavrin.cab", "");  // so it does not stop at the missing archive
  ASSERT_EQ(runPreferringPlanted(place("norvane.exe"), ""), 0u);
  EXPECT_EQ(loadedCanaries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace norvane
