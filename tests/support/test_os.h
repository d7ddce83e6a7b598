// A wrapper around a real Os layer for tests: records every effect in
// order, can make its Nth call fail with a chosen error, can answer process
// starts itself, and measures the transfer memory held at once.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "os/os.h"

namespace norvane::testing {

class TestOs final : public Os {
 public:
  explicit TestOs(Os& inner) : inner_(inner) {}

  // Among the calls from now on whose description starts with prefix
  // ("read", "create C:\\x", "" for any call), the nth (1-based) fails with
  // error; nth 0 makes every such call fail.
  void failCall(std::string prefix, int nth, OsError error) {
    faults_.push_back({std::move(prefix), nth, error, 0});
  }
  void clearFaults() { faults_.clear(); }

  using ProcessFake = std::function<ProcessOutcome(const std::string& commandLine)>;
  // When set, processes are not started; the fake answers instead.
  void fakeProcesses(ProcessFake fake) { processFake_ = std::move(fake); }

  // What the system reports about itself, instead of the real answers.
  void pretendWindows(OsResult<WindowsVersion> version, bool is64Bit) {
    version_ = version;
    is64Bit_ = is64Bit;
    pretending_ = true;
  }

  // The temporary folder the system reports, instead of the real one.
  void pretendTemporaryFolder(OsResult<std::string> folder) {
    temporaryFolder_ = std::move(folder);
  }

  // The 8.3 name the system gives path, instead of asking it (file
  // systems differ in whether they make such names at all).
  void pretendShortPathName(const std::string& path, OsResult<std::string> shortName) {
    shortPathNames_.insert_or_assign(path, std::move(shortName));
  }

  // Effects only (no reads, seeks or queries), e.g. "create C:\x\a.tmp".
  const std::vector<std::string>& effects() const { return effects_; }
  std::vector<std::string> effectsStartingWith(const std::string& prefix) const;
  void clearEffects() { effects_.clear(); }
  std::size_t peakBufferBytes() const { return peakBuffer_; }

  OsResult<FileId> openExisting(const std::string& path, FileAccess access,
                                FileShare share) override;
  OsResult<FileId> createTruncate(const std::string& path, FileShare share) override;
  OsResult<std::int64_t> seek(FileId file, std::int64_t offset, SeekFrom from) override;
  OsResult<std::size_t> read(FileId file, void* buffer, std::size_t size) override;
  OsError write(FileId file, const void* data, std::size_t size) override;
  OsError closeFile(FileId file) override;
  void* allocateBuffer(std::size_t size) override;
  void releaseBuffer(void* buffer, std::size_t size) override;
  OsResult<FileAttributes> attributesOf(const std::string& path) override;
  OsError setNormalAttributes(const std::string& path) override;
  OsError createDirectory(const std::string& path) override;
  OsError removeDirectory(const std::string& path) override;
  OsError deleteFile(const std::string& path) override;
  OsResult<std::vector<DirectoryEntry>> listDirectory(const std::string& path) override;
  OsResult<std::string> shortPathName(const std::string& path) override;
  ProcessOutcome runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                  const std::string& currentDirectory) override;
  OsResult<std::string> temporaryFolder() override;
  OsResult<WindowsVersion> windowsVersion() override;
  bool windowsIs64Bit() override;
  bool startDetachedThread(std::function<void()> body) override;
  std::string systemDirectory() override { return inner_.systemDirectory(); }
  OsError writeUserRegistryString(const std::string& keyPath, const std::string& valueName,
                                  const std::string& data) override;
  std::string ansiToUtf8(const std::string& text) override { return inner_.ansiToUtf8(text); }
  void sleepMs(std::uint32_t milliseconds) override;
  std::uint64_t monotonicMs() override { return inner_.monotonicMs(); }

 private:
  // Counts the call; the injected error when this call is to fail, else 0.
  OsError fault(const std::string& line);
  void effect(std::string line) { effects_.push_back(std::move(line)); }

  struct Fault {
    std::string prefix;
    int nth;
    OsError error;
    int seen;
  };
  std::string pathOf(FileId file) const;

  Os& inner_;
  std::vector<Fault> faults_;
  bool pretending_ = false;
  OsResult<WindowsVersion> version_;
  bool is64Bit_ = false;
  std::optional<OsResult<std::string>> temporaryFolder_;
  std::map<std::string, OsResult<std::string>> shortPathNames_;
  std::map<FileId, std::string> openPaths_;
  ProcessFake processFake_;
  std::vector<std::string> effects_;
  std::size_t bufferNow_ = 0;
  std::size_t peakBuffer_ = 0;
};

}  // namespace norvane::testing
