// The POSIX stand-in of the Os layer: lets the core build, run and be tested
// natively. "\" in paths is taken as "/".
#pragma once

#include <string>

#include "os/os.h"

namespace norvane {

class PosixOs final : public Os {
 public:
  // systemDirectory: where runHiddenAndWait finds "cmd.exe" (tests put a
  // stand-in interpreter there). registryRoot: folder that holds the
  // HKEY_CURRENT_USER stand-in, one file per value.
  PosixOs(std::string systemDirectory, std::string registryRoot);

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
  std::string systemDirectory() override;
  OsError writeUserRegistryString(const std::string& keyPath, const std::string& valueName,
                                  const std::string& data) override;
  std::string ansiToUtf8(const std::string& text) override;
  bool startDetachedThread(std::function<void()> body) override;
  void sleepMs(std::uint32_t milliseconds) override;
  std::uint64_t monotonicMs() override;

  // "\" to "/".
  static std::string nativePath(const std::string& path);

 private:
  std::string systemDirectory_;
  std::string registryRoot_;
};

}  // namespace norvane
