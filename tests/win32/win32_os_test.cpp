// The Win32 layer against the Windows it runs on (Wine in CI): files,
// sharing, enumeration, processes through the real cmd.exe, the registry.
#include "os/win32_os.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "archive/zip_extract.h"
#include "env/environment.h"
#include "env/work_directory.h"
#include "install/run_installer.h"
#include "os/file_tree.h"
#include "os/os_handles.h"
#include "os/win32_text.h"
#include "support/platform.h"
#include "support/win32_child.h"
#include "support/zip_builder.h"

namespace norvane {
namespace {

using testing::fileExists;
using testing::folderExists;
using testing::platformOs;
using testing::readWholeFile;
using testing::TempDir;
using testing::writeWholeFile;

TEST(Win32Os, TemporaryFolderIsAnAbsoluteExistingFolderWithSeparator) {
  const auto t = platformOs().temporaryFolder();
  ASSERT_TRUE(t.ok());
  ASSERT_GE(t.value.size(), 3u);
  EXPECT_EQ(t.value.substr(1, 2), ":\\");
  EXPECT_EQ(t.value.back(), '\\');
  EXPECT_TRUE(folderExists(t.value));
}

TEST(Win32Os, TwinKnowsItRunsOn64BitWindows) {
  EXPECT_EQ(platformOs().windowsIs64Bit(), sizeof(void*) == 8);
}

TEST(Win32Os, ProbeClassifiesTheSystemItRunsOn) {
  const OsProfile profile = probeEnvironment(platformOs());
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(profile.versionText,
            std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion));
  EXPECT_FALSE(profile.is32Bit) << "a 64-bit process runs on 64-bit Windows";
  const ClassifyOutcome c = classifyOs(profile);
  ASSERT_EQ(c.kind, Classification::Classified);
  EXPECT_EQ(c.osClass, OsClass::NewerX64);
}

TEST(Win32Os, WorkDirectoryLandsInTheTemporaryFolder) {
  const auto t = platformOs().temporaryFolder();
  const auto w = allocateWorkDirectory(platformOs());
  ASSERT_TRUE(w.ok());
  EXPECT_EQ(w.value.rfind(t.value + "\\Kavrin", 0), 0u) << w.value;
  EXPECT_EQ(w.value.back(), '\\');
  EXPECT_TRUE(folderExists(w.value));
  EXPECT_EQ(deleteTree(platformOs(), w.value), kOsOk);
}

TEST(Win32Os, EnumeratesWithAttributesAndChineseNames) {
  TempDir dir;
  Os& os = platformOs();
  ASSERT_EQ(os.createDirectory(dir / "子目录"), kOsOk);
  writeWholeFile(dir / "说明.txt", "x");
  writeWholeFile(dir / "locked.msi", "y");
  testing::makeReadOnlyAndHidden(dir / "locked.msi");
  auto listing = os.listDirectory(dir.path());
  ASSERT_TRUE(listing.ok());
  auto& entries = listing.value;
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "locked.msi");
  EXPECT_TRUE(entries[0].attributes.readOnly);
  EXPECT_TRUE(entries[0].attributes.hidden);
  EXPECT_EQ(entries[1].name, "子目录");
  EXPECT_TRUE(entries[1].attributes.directory);
  EXPECT_EQ(entries[2].name, "说明.txt");
  EXPECT_FALSE(entries[2].attributes.directory);
  EXPECT_EQ(os.setNormalAttributes(dir / "locked.msi"), kOsOk);
  EXPECT_FALSE(os.attributesOf(dir / "locked.msi").value.readOnly);
  EXPECT_FALSE(os.listDirectory(dir / "absent").ok());
}

TEST(Win32Os, ExclusiveOpenBlocksEveryOtherOpen) {
  TempDir dir;
  Os& os = platformOs();
  writeWholeFile(dir / "Kavrin.cab", "data");
  OpenedFile held = openExistingFile(os, dir / "Kavrin.cab", FileAccess::Read, FileShare::None);
  ASSERT_TRUE(held.file.valid());
  for (FileShare share : {FileShare::None, FileShare::Read, FileShare::All}) {
    OpenedFile other = openExistingFile(os, dir / "Kavrin.cab", FileAccess::Read, share);
    EXPECT_FALSE(other.file.valid());
    EXPECT_EQ(other.error, static_cast<OsError>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(os.createTruncate(dir / "Kavrin.cab", FileShare::All).error,
            static_cast<OsError>(ERROR_SHARING_VIOLATION));
}

TEST(Win32Os, ChineseWorkFolderStagesAndUnpacks) {
  TempDir dir;
  const std::string work = dir / "用户 张三" / "Kavrin";
  ASSERT_EQ(createDirectories(platformOs(), work), kOsOk);
  writeWholeFile(work + "\\包.tmp",
                 testing::buildZip({{"子目录/安装.msi", "msi", 8, 0, 0x800, {}, {}}}));
  const ExtractResult r = extractZip(platformOs(), work + "\\包.tmp", work + "\\包");
  EXPECT_TRUE(r.ok) << r.reason;
  EXPECT_EQ(readWholeFile(work + "\\包\\子目录\\安装.msi"), "msi");
  if (GetACP() == 936) {
    // Without the UTF-8 flag a name is in the packer's code page, GBK here.
    writeWholeFile(work + "\\gbk.tmp",
                   testing::buildZip({testing::fileEntry("\xD6\xD0\xCE\xC4/a.txt", "a")}));
    EXPECT_TRUE(extractZip(platformOs(), work + "\\gbk.tmp", work + "\\gbk").ok);
    EXPECT_EQ(readWholeFile(work + "\\gbk\\中文\\a.txt"), "a");
  }
}

TEST(Win32Os, CodePageNamesBecomeUtf8) {
  if (GetACP() != 936) GTEST_SKIP() << "needs the Chinese code page, have " << GetACP();
  EXPECT_EQ(platformOs().ansiToUtf8("\xD6\xD0\xCE\xC4.txt"), "中文.txt");
}

TEST(Win32Os, RegistryValueIsWrittenAndOverwritten) {
  Os& os = platformOs();
  const std::wstring key = L"Software\\Norvane\\Tests";
  for (const char* data : {"english", "schinese"}) {
    ASSERT_EQ(os.writeUserRegistryString("Software\\Norvane\\Tests", "Language", data), kOsOk);
    wchar_t value[64] = {};
    DWORD bytes = sizeof value;
    DWORD type = 0;
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &k), ERROR_SUCCESS);
    ASSERT_EQ(
        RegQueryValueExW(k, L"Language", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes),
        ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(toUtf8(value), data);
    EXPECT_EQ(bytes, (std::string(data).size() + 1) * sizeof(wchar_t)) << "with its zero";
  }
  RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

TEST(Win32Os, InterpreterExitCodeComesBack) {
  for (std::uint32_t code : {0u, 1u, 1603u, 3010u}) {
    const InstallerOutcome r = runInstaller(platformOs(), {"exit", std::to_string(code)});
    EXPECT_TRUE(r.process.started);
    EXPECT_EQ(r.process.exitCode, code);
  }
}

TEST(Win32Os, ProgramsInAwkwardFoldersGetTheirArgumentsIntact) {
  struct Case {
    std::string folder;
    std::string arguments;
    std::uint32_t exitCode;
  };
  for (const Case& c : {Case{"plain", "/q:a /c:\"install.exe /q\"", 3010},
                        Case{"Documents and Settings", "/q:a /c:\"install.exe /q\"", 1603},
                        Case{"a&b (x86)^,;=", "/silent /norestart", 5100},
                        Case{"用户 张三", "/qn REBOOT=ReallySuppress", 0}}) {
    TempDir dir;
    const std::string folder = dir / c.folder;
    ASSERT_EQ(platformOs().createDirectory(folder), kOsOk);
    const std::string program = folder + "\\setup.exe";
    ASSERT_TRUE(testing::copyBesideTestProgram("norvane_probe_child.exe", program)) << program;
    writeWholeFile(program + ".code", std::to_string(c.exitCode));
    const InstallerOutcome r = runInstaller(platformOs(), {program, c.arguments});
    ASSERT_TRUE(r.process.started) << c.folder;
    EXPECT_EQ(r.process.exitCode, c.exitCode) << c.folder;
    const std::string log = readWholeFile(program + ".log");
    const std::string seen = log.substr(0, log.find('|'));
    EXPECT_TRUE(seen.ends_with(" " + c.arguments)) << c.folder << ": " << seen;
    EXPECT_NE(seen.find(program), std::string::npos) << c.folder << ": " << seen;
    EXPECT_EQ(log.substr(log.find('|') + 1, log.rfind('|') - log.find('|') - 1),
              platformOs().systemDirectory())
        << "current folder is the system folder";
  }
}

TEST(Win32Os, ProcessesStartHiddenAndAreWaitedFor) {
  TempDir dir;
  const std::string program = dir / "setup.exe";
  ASSERT_TRUE(testing::copyBesideTestProgram("norvane_probe_child.exe", program)) << program;
  writeWholeFile(program + ".code", "42");
  const ProcessOutcome r = platformOs().runHiddenAndWait(program, "setup.exe /S", dir.path());
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 42u);
  // Written before the child ended, so present once the wait returned.
  EXPECT_EQ(readWholeFile(program + ".log"),
            "setup.exe /S|" + dir.path() + "|" + std::to_string(SW_HIDE) + "\n");
  const ProcessOutcome missing =
      platformOs().runHiddenAndWait(dir / "absent.exe", "absent.exe", dir.path());
  EXPECT_FALSE(missing.started);
  EXPECT_EQ(missing.error, static_cast<OsError>(ERROR_FILE_NOT_FOUND));
}

TEST(Win32Os, PlantedInterpreterAndToolsAreNeverRun) {
  TempDir planted;
  for (const char* name : {"cmd.exe", "hostname.exe", "hostname.com", "hostname.bat"}) {
    ASSERT_TRUE(testing::copyBesideTestProgram("norvane_probe_child.exe", planted / name)) << name;
  }
  wchar_t previous[MAX_PATH * 2];
  GetCurrentDirectoryW(MAX_PATH * 2, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(toWide(planted.path()).c_str()));
  const InstallerOutcome r = runInstaller(platformOs(), {"hostname", ">NUL"});
  SetCurrentDirectoryW(previous);
  EXPECT_TRUE(r.process.started);
  EXPECT_EQ(r.process.exitCode, 0u);
  for (const char* name : {"cmd.exe", "hostname.exe", "hostname.com", "hostname.bat"}) {
    EXPECT_FALSE(fileExists(planted / (std::string(name) + ".log"))) << name << " ran";
  }
}

TEST(Win32Os, TreeDeletionLeavesLinkTargetsAlone) {
  TempDir dir;
  Os& os = platformOs();
  ASSERT_EQ(createDirectories(os, dir / "outside"), kOsOk);
  writeWholeFile(dir / "outside" / "precious.txt", "p");
  ASSERT_EQ(createDirectories(os, dir / "tree" / "sub"), kOsOk);
  writeWholeFile(dir / "tree" / "sub" / "file.tmp", "t");
  // Vista's API, beyond the headers of the oldest system the program targets.
  using CreateLinkFn = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
  const auto createLink = reinterpret_cast<CreateLinkFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
  constexpr DWORD kDirectoryLink = 1;
  if (createLink == nullptr || !createLink(toWide(dir / "tree" / "link").c_str(),
                                           toWide(dir / "outside").c_str(), kDirectoryLink)) {
    GTEST_SKIP() << "no directory links here (error " << GetLastError() << ")";
  }
  // Windows marks links and junctions as reparse points. Wine 8 makes a
  // host symlink that it reports as a plain folder, so nothing can tell it
  // apart there; the POSIX stand-in's test covers the walk itself.
  if (!os.attributesOf(dir / "tree" / "link").value.link) {
    RemoveDirectoryW(toWide(dir / "tree" / "link").c_str());
    GTEST_SKIP() << "this system does not report directory links as reparse points";
  }
  EXPECT_EQ(deleteTree(os, dir / "tree"), kOsOk);
  EXPECT_FALSE(folderExists(dir / "tree"));
  EXPECT_EQ(readWholeFile(dir / "outside" / "precious.txt"), "p");
}

}  // namespace
}  // namespace norvane
