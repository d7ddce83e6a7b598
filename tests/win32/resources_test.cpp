// The program carries its manifest and version information.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "os/win32_text.h"
#include "support/platform.h"

namespace norvane {
namespace {

std::wstring programPath() { return toWide(testing::besideTestProgram("norvane.exe")); }

std::string manifestOf(const std::wstring& program) {
  const HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return {};
  std::string text;
  if (const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    text.assign(data, SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ProgramResources, ManifestAsksForHighestAvailableAndCommonControls6) {
  const std::string manifest = manifestOf(programPath());
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"highestAvailable\""), std::string::npos);
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  for (const char* os :
       {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_EQ(count(manifest, os), 1u) << os;
  }
}

TEST(ProgramResources, VersionInformationNamesTheProduct) {
  const std::wstring program = programPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020006u);
  wchar_t* name = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\ProductName",
                             reinterpret_cast<void**>(&name), &length));
  EXPECT_EQ(toUtf8(name), "Norvane 游戏运行库合集");
}

}  // namespace
}  // namespace norvane
