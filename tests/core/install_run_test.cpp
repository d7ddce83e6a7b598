#include "install/install_run.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "selection/check_model.h"
#include "selection/tree_builder.h"
#include "support/platform.h"
#include "support/test_os.h"

namespace norvane {
namespace {

using testing::platformOs;
using testing::TempDir;
using testing::TestOs;

// Records every sink call, and the component work the Os saw, in one list.
class RecordingSink final : public ProgressSink {
 public:
  void setStatusText(std::string_view text) override { add("status " + std::string(text)); }
  void setPercent(int percent) override { add("percent " + std::to_string(percent)); }
  void componentDone(const ComponentOutcome& o) override {
    add("done " + std::to_string(o.id) + " " + std::to_string(static_cast<int>(o.outcome)));
  }
  void runFinished() override {
    add("finished");
    std::lock_guard lock(mutex_);
    finished_ = true;
    done_.notify_all();
  }
  void add(std::string line) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(line));
  }
  bool waitFinished() {
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, std::chrono::seconds(30), [this] { return finished_; });
  }
  std::vector<std::string> calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  std::vector<std::string> percents() {
    std::vector<std::string> out;
    for (const std::string& c : calls()) {
      if (c.rfind("percent ", 0) == 0) out.push_back(c.substr(8));
    }
    return out;
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::vector<std::string> calls_;
};

TEST(InstallRun, PercentPositions) {
  struct Case {
    int n;
    std::vector<int> positions;
  };
  const Case cases[] = {
      {0, {}}, {1, {50}}, {2, {33, 66}}, {3, {25, 50, 75}}, {6, {14, 28, 42, 57, 71, 85}}};
  for (const Case& c : cases) {
    std::vector<int> got;
    for (int i = 1; i <= c.n; ++i) got.push_back(progressPercent(i, c.n));
    EXPECT_EQ(got, c.positions) << c.n;
  }
  EXPECT_EQ(progressPercent(1, 32), 3);
  EXPECT_EQ(progressPercent(32, 32), 96);
  for (int i = 1; i <= 35; ++i) EXPECT_LT(progressPercent(i, 35), 100);
}

TEST(InstallRun, QueueTakesCheckedComponentsOnlyInAscendingOrder) {
  ComponentTree tree;
  buildComponentTree(tree, OsClass::OlderX86);  // 14 at index 8, 12 at index 18
  applyPreset(tree, Preset::Custom);
  onCheckBoxClicked(tree, 8, kChecked);
  onCheckBoxClicked(tree, 18, kChecked);
  ASSERT_EQ(tree.valueOf(8), 14);
  ASSERT_EQ(tree.valueOf(18), 12);
  int pumped = 0;
  EXPECT_EQ(collectInstallQueue(tree, [&] { ++pumped; }), (InstallQueue{12, 14}));
  EXPECT_EQ(pumped, tree.itemCount()) << "messages are handled after every item";
  EXPECT_EQ(tree.checkStateOf(0), kPartial) << "a partial group is not queued, nor is its value";
  // Checked group items carry 0 and are never queued themselves.
  applyPreset(tree, Preset::Full);
  const InstallQueue all = collectInstallQueue(tree);
  EXPECT_EQ(all.size(), 27u);
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  EXPECT_EQ(std::count(all.begin(), all.end(), 0), 0);
}

class Worker : public ::testing::Test {
 protected:
  Worker() : os(platformOs()) {
    workDir = dir.path() + "\\\\Kavrin\\";
    platformOs().createDirectory(workDir);
    os.fakeProcesses([this](const std::string& line) {
      sink.add("installer " + line.substr(line.rfind('\\') + 1));
      return ProcessOutcome{true, 0, kOsOk};
    });
    settings = {dir / "Kavrin.cab", workDir, true};
  }
  TempDir dir;
  TestOs os;
  RecordingSink sink;
  std::string workDir;
  InstallRunSettings settings;
};

TEST_F(Worker, ReportsBeforeEachComponentAndFinishesAt100) {
  InstallRun run;
  run.queue = {12, 14};
  runInstallQueue(os, run, settings, sink);
  EXPECT_EQ(sink.calls(),
            (std::vector<std::string>{"percent 33", "status DirectX 9.0c (2010.6)",
                                      "installer DXSETUP.exe /silent", "done 12 3", "percent 66",
                                      "status Microsoft .NET Framework 1.1(含sp1,与IIS不兼容)",
                                      "installer dotnetfx.exe /q /norestart",
                                      "installer NDP1.1sp1-KB867460-X86.exe /q /norestart",
                                      "done 14 3", "percent 100", "finished"}));
  ASSERT_EQ(run.reports.size(), 2u);
  EXPECT_EQ(run.reports[0].id, 12);
}

TEST_F(Worker, EveryComponentInOrderWithItsCaption) {
  InstallRun run;
  for (ComponentId id = 1; id <= 35; ++id) {
    if (id != 33) run.queue.push_back(id);  // 33 would empty the folder and pause
  }
  runInstallQueue(os, run, settings, sink);
  const auto calls = sink.calls();
  std::size_t at = 0;
  for (std::size_t k = 0; k < run.queue.size(); ++k) {
    const ComponentEntry& e = *entryFor(run.queue[k]);
    ASSERT_LT(at + 1, calls.size());
    EXPECT_EQ(calls[at], "percent " + std::to_string(progressPercent(static_cast<int>(k) + 1, 34)));
    EXPECT_EQ(calls[at + 1], "status " + std::string(e.progressCaption));
    EXPECT_EQ(calls[at + 2 + e.commands.size()], "done " + std::to_string(e.id) + " 3")
        << "no archive: every component failed";
    at += 3 + e.commands.size();
  }
  EXPECT_EQ(std::vector<std::string>(calls.begin() + static_cast<std::ptrdiff_t>(at), calls.end()),
            (std::vector<std::string>{"percent 100", "finished"}));
}

TEST_F(Worker, NothingCheckedFinishesAtOnce) {
  ComponentTree tree = ComponentTree::withInitialItems();
  applyPreset(tree, Preset::Recommended);  // all checked, but no value above 0
  auto run = startInstallRun(os, tree, settings, sink);
  ASSERT_TRUE(sink.waitFinished());
  EXPECT_TRUE(run->queue.empty());
  EXPECT_EQ(sink.calls(), (std::vector<std::string>{"percent 100", "finished"}));
}

TEST_F(Worker, RunsOnItsOwnThreadAndHoldsTheArchive) {
  testing::writeWholeFile(settings.archivePath, "too short to hold anything");
  ComponentTree tree;
  buildComponentTree(tree, OsClass::NewerX64);
  applyPreset(tree, Preset::Custom);
  onCheckBoxClicked(tree, 30, kChecked);  // Steam
  auto run = startInstallRun(os, tree, settings, sink);
  ASSERT_TRUE(sink.waitFinished());
  EXPECT_TRUE(run->workerStarted);
  EXPECT_EQ(sink.percents(), (std::vector<std::string>{"50", "100"}));
  EXPECT_TRUE(run->archive.valid());
  EXPECT_FALSE(openPayloadArchive(platformOs(), settings.archivePath).file.valid())
      << "no other copy can open the archive while the run holds it";
}

TEST_F(Worker, MissingArchiveStillWalksTheWholeQueue) {
  ComponentTree tree;
  buildComponentTree(tree, OsClass::NewerX86);
  applyPreset(tree, Preset::Recommended);
  auto run = startInstallRun(os, tree, settings, sink);
  ASSERT_TRUE(sink.waitFinished());
  EXPECT_NE(run->archiveError, kOsOk);
  EXPECT_EQ(run->reports.size(), 18u);
  EXPECT_EQ(sink.calls().back(), "finished");
}

TEST_F(Worker, NoThreadEndsTheRunInsteadOfHanging) {
  ComponentTree tree;
  buildComponentTree(tree, OsClass::NewerX86);
  applyPreset(tree, Preset::Recommended);
  os.failCall("thread", 1, 8);
  auto run = startInstallRun(os, tree, settings, sink);
  EXPECT_FALSE(run->workerStarted);
  EXPECT_EQ(run->queue.size(), 18u);
  EXPECT_TRUE(run->reports.empty()) << "nothing was installed";
  std::vector<std::string> expected;
  for (ComponentId id : run->queue) expected.push_back("done " + std::to_string(id) + " 3");
  expected.push_back("percent 100");
  expected.push_back("finished");
  EXPECT_EQ(sink.calls(), expected) << "every queued component is reported failed";
}

}  // namespace
}  // namespace norvane
