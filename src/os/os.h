// The narrow operating-system layer that the portable core talks to.
//
// Paths and texts are UTF-8 and use "\" between folder names, as Windows
// does; the Win32 implementation converts to UTF-16 at the boundary, the
// POSIX stand-in maps "\" to "/". Every operation returns what happened, even
// where the product ignores it, so tests can see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace norvane {

// 0 is success; otherwise a Win32 error code, an errno value (POSIX
// stand-in) or one of the application codes below (bit 29 set, the range
// Windows leaves to applications).
using OsError = std::uint32_t;
inline constexpr OsError kOsOk = 0;
inline constexpr OsError kErrUnsafeCommandLine = 0x20000001;
inline constexpr OsError kErrRefusedPath = 0x20000002;
inline constexpr OsError kErrInvalidFile = 0x20000003;
inline constexpr OsError kErrShortWrite = 0x20000004;
inline constexpr OsError kErrOutOfMemory = 0x20000005;

template <class T>
struct OsResult {
  T value{};
  OsError error = kOsOk;
  bool ok() const { return error == kOsOk; }
};

// An open file as the layer knows it; meaningful only to the layer that
// issued it.
using FileId = std::intptr_t;

enum class FileAccess { Read, ReadWrite };
// Sharing that other openers of the same file are granted while this handle
// is open. None also makes the open fail when another handle exists.
enum class FileShare { None, Read, All };
enum class SeekFrom { Begin, Current, End };

struct FileAttributes {
  bool directory = false;
  bool readOnly = false;
  bool hidden = false;
  // A symbolic link or junction: deleting a tree must not descend into it.
  bool link = false;
};

struct DirectoryEntry {
  std::string name;
  FileAttributes attributes;
};

struct WindowsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

struct ProcessOutcome {
  bool started = false;
  std::uint32_t exitCode = 0;  // meaningful only when started without error
  OsError error = kOsOk;       // why it did not start, or why its end could not be read
};

class Os {
 public:
  virtual ~Os() = default;

  // Files. An opened FileId stays valid until closeFile.
  virtual OsResult<FileId> openExisting(const std::string& path, FileAccess access,
                                        FileShare share) = 0;
  // Creates the file or truncates an existing one; write access only.
  virtual OsResult<FileId> createTruncate(const std::string& path, FileShare share) = 0;
  // Returns the new position counted from the start of the file.
  virtual OsResult<std::int64_t> seek(FileId file, std::int64_t offset, SeekFrom from) = 0;
  // Reads up to size bytes; fewer only at the end of the file.
  virtual OsResult<std::size_t> read(FileId file, void* buffer, std::size_t size) = 0;
  // Writes all bytes or reports why not.
  virtual OsError write(FileId file, const void* data, std::size_t size) = 0;
  virtual OsError closeFile(FileId file) = 0;

  // Large transfer buffers. Null when the memory cannot be had.
  virtual void* allocateBuffer(std::size_t size) = 0;
  virtual void releaseBuffer(void* buffer, std::size_t size) = 0;

  // Folders and attributes. attributesOf fails when nothing is at the path.
  virtual OsResult<FileAttributes> attributesOf(const std::string& path) = 0;
  virtual OsError setNormalAttributes(const std::string& path) = 0;
  virtual OsError createDirectory(const std::string& path) = 0;  // one level
  // Removes an empty folder, or a link to a folder without touching its target.
  virtual OsError removeDirectory(const std::string& path) = 0;
  virtual OsError deleteFile(const std::string& path) = 0;
  // Entries of a folder, without "." and "..".
  virtual OsResult<std::vector<DirectoryEntry>> listDirectory(const std::string& path) = 0;
  // An equivalent path of the existing item in 8.3 form where the system
  // keeps such names; otherwise the path unchanged.
  virtual OsResult<std::string> shortPathName(const std::string& path) = 0;

  // Processes. Starts the program hidden, with the given command line and
  // current folder, inheriting no handles, and waits for it without limit.
  virtual ProcessOutcome runHiddenAndWait(const std::string& program,
                                          const std::string& commandLine,
                                          const std::string& currentDirectory) = 0;
  // The temporary-files folder as the system reports it, with its trailing
  // separator.
  virtual OsResult<std::string> temporaryFolder() = 0;

  // The version Windows reports to this program (its manifest declares the
  // systems it knows, so Windows 10 reports 10.0).
  virtual OsResult<WindowsVersion> windowsVersion() = 0;

  // Whether Windows itself is a 64-bit edition. A 64-bit process always is;
  // a 32-bit one is when it runs under WOW64. A failed query says false.
  virtual bool windowsIs64Bit() = 0;

  // The folder of the system's own programs, where the command interpreter lives.
  virtual std::string systemDirectory() = 0;

  // Creates the key under HKEY_CURRENT_USER when missing and sets a REG_SZ value.
  virtual OsError writeUserRegistryString(const std::string& keyPath, const std::string& valueName,
                                          const std::string& data) = 0;

  // Text in the system's 8-bit code page (ZIP names written without the UTF-8
  // flag) converted to UTF-8.
  virtual std::string ansiToUtf8(const std::string& text) = 0;

  // Starts body on a new thread that nobody waits for. False when no thread
  // could be made; body has then not run.
  virtual bool startDetachedThread(std::function<void()> body) = 0;

  virtual void sleepMs(std::uint32_t milliseconds) = 0;
  virtual std::uint64_t monotonicMs() = 0;
};

}  // namespace norvane
