// The real wizard beside a complete stand-in archive, under Wine: the
// stand-in installers log what they were started with, the stand-in
// packages write one registry value each, and the machine's state is
// checked afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "catalogue/catalogue.h"
#include "install/install_run.h"
#include "os/file_tree.h"
#include "os/win32_text.h"
#include "support/platform.h"
#include "support/wizard_driver.h"

namespace norvane {
namespace {

using C = ControlId;
using testing::fileExists;
using testing::folderExists;
using testing::platformOs;
using testing::TempDir;
using testing::WizardDriver;

const char* const kInstallerLog = "C:\\norvane-installers.log";

struct LogLine {
  std::string event;  // start or end
  int id = 0;
  std::string commandLine;
  std::string folder;
};

std::vector<LogLine> installerLog() {
  std::vector<LogLine> lines;
  if (!fileExists(kInstallerLog)) return lines;
  std::istringstream in(testing::readWholeFile(kInstallerLog));
  for (std::string raw; std::getline(in, raw);) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t bar; (bar = raw.find('|', at)) != std::string::npos; at = bar + 1) {
      fields.push_back(raw.substr(at, bar - at));
    }
    fields.push_back(raw.substr(at));
    LogLine line;
    line.event = fields[0];
    line.id = std::stoi(fields[1]);
    if (line.event == "start" && fields.size() >= 5) {
      line.commandLine = fields[2];
      line.folder = fields[3];
    }
    lines.push_back(line);
  }
  return lines;
}

std::string standInValue(const std::string& name) {
  wchar_t data[64] = {};
  DWORD bytes = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\NorvaneStandIn", toWide(name).c_str(),
                   RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS) {
    return "(none)";
  }
  return toUtf8(data);
}

std::string steamLanguage() {
  wchar_t data[64] = {};
  DWORD bytes = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"Language", RRF_RT_REG_SZ,
                   nullptr, data, &bytes) != ERROR_SUCCESS) {
    return "(none)";
  }
  return toUtf8(data);
}

// Waits for the stand-in browser to log that many addresses, so none
// arrives late in the next test's log.
bool urlsArrived(std::size_t count) {
  for (int i = 0; i < 100; ++i) {
    if (fileExists("C:\\norvane-urls.log")) {
      const std::string log = testing::readWholeFile("C:\\norvane-urls.log");
      if (static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')) >= count) return true;
    }
    Sleep(100);
  }
  return false;
}

std::string fileNameOf(std::string_view path) {
  return std::string(path.substr(path.rfind('\\') + 1));
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[1024] = {};
    if (GetEnvironmentVariableW(L"NORVANE_STANDIN_DIR", dir, 1024) == 0) {
      GTEST_SKIP()
          << "no stand-in archive: scripts/test.sh makes one and names it in NORVANE_STANDIN_DIR";
    }
    program = toUtf8(dir) + "\\norvane.exe";
    // A user folder with a blank and Chinese characters in it.
    temp = folder / "用户 张三";
    ASSERT_EQ(platformOs().createDirectory(temp), kOsOk);
    platformOs().deleteFile(kInstallerLog);
    platformOs().deleteFile("C:\\norvane-urls.log");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\NorvaneStandIn");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam");
  }

  // Runs from the welcome page through Install to the finish page with the
  // preset given, noting every position the progress bar shows.
  std::unique_ptr<WizardDriver> installWith(int preset, std::set<int>& positions) {
    auto w = std::make_unique<WizardDriver>(program, temp);
    EXPECT_TRUE(w->started());
    if (!w->started()) return w;
    w->press(C::按钮1);
    EXPECT_TRUE(w->waitFor([&] { return w->page() == 1; }));
    w->pickPreset(preset);
    w->press(C::按钮1);
    EXPECT_TRUE(w->waitFor(
        [&] {
          const int p = w->progress();
          if (p > 0) positions.insert(p);
          return w->page() == 3;
        },
        900000));
    positions.insert(w->progress());
    return w;
  }

  // The exe stand-ins the queue runs, in order, with the end of their
  // command line: the folder holds a blank, so the program comes quoted.
  static std::vector<std::pair<int, std::string>> exeCommandsOf(const InstallQueue& queue) {
    std::vector<std::pair<int, std::string>> out;
    for (ComponentId id : queue) {
      for (const CommandTemplate& c : entryFor(id)->commands) {
        if (c.kind == CommandKind::exe)
          out.emplace_back(id, fileNameOf(c.path) + "\" " + std::string(c.switches));
      }
    }
    return out;
  }

  void expectInstalled(const InstallQueue& queue, std::size_t progressPositionsSeen,
                       const std::set<int>& positions) {
    // One installer at a time, in queue order, with the exact arguments, run
    // from the system folder.
    const auto log = installerLog();
    const auto expected = exeCommandsOf(queue);
    ASSERT_EQ(log.size(), expected.size() * 2);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    for (std::size_t k = 0; k < expected.size(); ++k) {
      const LogLine& start = log[2 * k];
      const LogLine& end = log[2 * k + 1];
      EXPECT_EQ(start.event, "start");
      EXPECT_EQ(end.event, "end");
      EXPECT_EQ(start.id, expected[k].first);
      EXPECT_EQ(end.id, expected[k].first);
      EXPECT_TRUE(start.commandLine.ends_with(expected[k].second)) << start.commandLine;
      EXPECT_NE(start.commandLine.find("\\用户 张三\\\\Kavrin\\"), std::string::npos)
          << start.commandLine;
      EXPECT_EQ(start.folder, toUtf8(system));
    }
    // Every package of the queue wrote its value.
    for (ComponentId id : queue) {
      for (const CommandTemplate& c : entryFor(id)->commands) {
        if (c.kind != CommandKind::msi) continue;
        const std::string_view path = !c.path64.empty() ? c.path64 : c.path;  // a 64-bit Windows
        EXPECT_EQ(standInValue(std::to_string(id) + "-" + fileNameOf(path)), std::to_string(id))
            << fileNameOf(path);
        if (!c.path64.empty()) {
          EXPECT_EQ(standInValue(std::to_string(id) + "-" + fileNameOf(c.path)), "(none)");
        }
      }
    }
    // The bar only ever stands where the formula puts it for this queue.
    std::set<int> allowed{100};
    const int n = static_cast<int>(queue.size());
    for (int i = 1; i <= n; ++i) allowed.insert(progressPercent(i, n));
    for (int p : positions) EXPECT_EQ(allowed.count(p), 1u) << p;
    EXPECT_GE(positions.size(), progressPositionsSeen);
    EXPECT_EQ(positions.count(100), 1u);
  }

  TempDir folder;
  std::string program;
  std::string temp;
};

TEST_F(EndToEnd, RecommendedInstallsExactlyItsComponentsAndFinishCleansUp) {
  std::set<int> positions;
  auto w = installWith(0, positions);
  ASSERT_EQ(w->page(), 3);
  // NewerX64: Wine reports Windows 10 to a 64-bit program.
  const InstallQueue queue{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 12, 15,
                           17, 18, 19, 20, 21, 23, 25, 26, 27, 28, 29};
  expectInstalled(queue, queue.size() / 2, positions);
  EXPECT_EQ(steamLanguage(), "(none)");
  const std::string work = temp + "\\Kavrin";
  EXPECT_TRUE(folderExists(work));
  EXPECT_FALSE(fileExists(work + "\\DX9c.tmp")) << "cleaned after DirectX";
  EXPECT_TRUE(fileExists(work + "\\VC2010_x86.exe")) << "kept until Finish";
  w->press(C::按钮1);
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_FALSE(folderExists(work));
  EXPECT_TRUE(urlsArrived(2));
}

TEST_F(EndToEnd, FullInstallsEverythingOfferedWithOriginEmptyingTheFolder) {
  std::set<int> positions;
  auto w = installWith(1, positions);
  ASSERT_EQ(w->page(), 3);
  const InstallQueue queue{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 14, 15, 17, 18,
                           19, 20, 21, 23, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
  expectInstalled(queue, queue.size() / 2, positions);
  EXPECT_EQ(steamLanguage(), "schinese");
  const std::string work = temp + "\\Kavrin";
  EXPECT_FALSE(fileExists(work + "\\VC2010_x86.exe")) << "Origin's reset came after it";
  EXPECT_TRUE(fileExists(work + "\\OriginThinSetup.exe"));
  EXPECT_TRUE(fileExists(work + "\\UplayInstaller.exe")) << "staged after the reset";
  w->requestClose();
  EXPECT_EQ(w->exitCode(), 0u);
  EXPECT_TRUE(folderExists(work)) << "closing leaves the work folder";
  EXPECT_TRUE(urlsArrived(2));
}

}  // namespace
}  // namespace norvane
