#include "os/posix_os.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "os/file_tree.h"
#include "os/paths.h"

extern char** environ;

namespace norvane {

namespace {

OsError lastError() { return static_cast<OsError>(errno); }

// Windows sharing modes approximated with advisory locks: an exclusive
// opener takes LOCK_EX and fails if anyone holds a lock; shared openers take
// LOCK_SH. Good enough for the stand-in's tests of "a second open fails".
OsError applyShare(int fd, FileShare share) {
  if (share == FileShare::All) return kOsOk;
  const int op = (share == FileShare::None ? LOCK_EX : LOCK_SH) | LOCK_NB;
  if (flock(fd, op) != 0) return errno == EWOULDBLOCK ? static_cast<OsError>(EBUSY) : lastError();
  return kOsOk;
}

OsResult<FileId> openWith(const std::string& path, int flags, FileShare share) {
  const int fd = ::open(PosixOs::nativePath(path).c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return {0, lastError()};
  if (const OsError e = applyShare(fd, share); e != kOsOk) {
    ::close(fd);
    return {0, e};
  }
  return {static_cast<FileId>(fd), kOsOk};
}

}  // namespace

PosixOs::PosixOs(std::string systemDirectory, std::string registryRoot)
    : systemDirectory_(std::move(systemDirectory)), registryRoot_(std::move(registryRoot)) {}

std::string PosixOs::nativePath(const std::string& path) {
  std::string out = path;
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

OsResult<FileId> PosixOs::openExisting(const std::string& path, FileAccess access,
                                       FileShare share) {
  struct stat st {};
  if (::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return {0, EISDIR};
  return openWith(path, access == FileAccess::Read ? O_RDONLY : O_RDWR, share);
}

OsResult<FileId> PosixOs::createTruncate(const std::string& path, FileShare share) {
  // Truncate only once the lock is held, so a refused open leaves the file intact.
  auto r = openWith(path, O_WRONLY | O_CREAT, share);
  if (!r.ok()) return r;
  const int fd = static_cast<int>(r.value);
  // A file that is already empty (most often one just created) is not
  // truncated: ext4 flushes a truncated file to disk when it is closed,
  // which made unpacking many small files wait on the disk for each.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || (st.st_size != 0 && ::ftruncate(fd, 0) != 0)) {
    const OsError e = lastError();
    ::close(fd);
    return {0, e};
  }
  return r;
}

OsResult<std::int64_t> PosixOs::seek(FileId file, std::int64_t offset, SeekFrom from) {
  const int whence = from == SeekFrom::Begin     ? SEEK_SET
                     : from == SeekFrom::Current ? SEEK_CUR
                                                 : SEEK_END;
  const off_t pos = ::lseek(static_cast<int>(file), static_cast<off_t>(offset), whence);
  if (pos < 0) return {0, lastError()};
  return {static_cast<std::int64_t>(pos), kOsOk};
}

OsResult<std::size_t> PosixOs::read(FileId file, void* buffer, std::size_t size) {
  std::size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    const ssize_t n = ::read(static_cast<int>(file), out + total, size - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return {total, lastError()};
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
  }
  return {total, kOsOk};
}

OsError PosixOs::write(FileId file, const void* data, std::size_t size) {
  std::size_t total = 0;
  const auto* in = static_cast<const char*>(data);
  while (total < size) {
    const ssize_t n = ::write(static_cast<int>(file), in + total, size - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    total += static_cast<std::size_t>(n);
  }
  return kOsOk;
}

OsError PosixOs::closeFile(FileId file) {
  return ::close(static_cast<int>(file)) == 0 ? kOsOk : lastError();
}

namespace {
// Transfer buffers this large come straight from the kernel and go back to
// it whole: from malloc, a 30 MB chunk can land on the heap and stay
// there, under the next chunk, doubling the memory a copy holds.
constexpr std::size_t kMappedBuffer = 1 << 20;
}  // namespace

void* PosixOs::allocateBuffer(std::size_t size) {
  if (size < kMappedBuffer) return std::malloc(size == 0 ? 1 : size);
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
  // A fresh 60 MB chunk in 4 KiB pages costs some 15,000 page faults, each
  // zeroing its page, and that made staging three times slower than the
  // copy itself. Huge pages cut the faults 512-fold; where the kernel has
  // none to give, the advice is ignored and the buffer works as before.
  ::madvise(p, size, MADV_HUGEPAGE);
#endif
  return p;
}

void PosixOs::releaseBuffer(void* buffer, std::size_t size) {
  if (size < kMappedBuffer) {
    std::free(buffer);
  } else {
    ::munmap(buffer, size);
  }
}

OsResult<FileAttributes> PosixOs::attributesOf(const std::string& path) {
  const std::string p = nativePath(path);
  struct stat st {};
  if (::lstat(p.c_str(), &st) != 0) return {{}, lastError()};
  FileAttributes a;
  a.link = S_ISLNK(st.st_mode);
  if (a.link) {
    struct stat target {};
    a.directory = ::stat(p.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
  } else {
    a.directory = S_ISDIR(st.st_mode);
    a.readOnly = (st.st_mode & S_IWUSR) == 0;
  }
  const auto slash = p.find_last_of('/');
  a.hidden = p.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0;
  return {a, kOsOk};
}

OsError PosixOs::setNormalAttributes(const std::string& path) {
  const std::string p = nativePath(path);
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return lastError();
  return ::chmod(p.c_str(), (st.st_mode & 07777) | S_IWUSR | S_IRUSR) == 0 ? kOsOk : lastError();
}

OsError PosixOs::createDirectory(const std::string& path) {
  return ::mkdir(nativePath(path).c_str(), 0755) == 0 ? kOsOk : lastError();
}

OsError PosixOs::removeDirectory(const std::string& path) {
  const std::string p(withoutTrailingSeparators(nativePath(path)));
  struct stat st {};
  // A link to a folder goes as a link, like a junction on Windows.
  if (::lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    return ::unlink(p.c_str()) == 0 ? kOsOk : lastError();
  }
  return ::rmdir(p.c_str()) == 0 ? kOsOk : lastError();
}

OsError PosixOs::deleteFile(const std::string& path) {
  const std::string p = nativePath(path);
  struct stat st {};
  if (::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return EISDIR;
  return ::unlink(p.c_str()) == 0 ? kOsOk : lastError();
}

OsResult<std::vector<DirectoryEntry>> PosixOs::listDirectory(const std::string& path) {
  DIR* dir = ::opendir(nativePath(path).c_str());
  if (dir == nullptr) return {{}, lastError()};
  OsResult<std::vector<DirectoryEntry>> out;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    auto a = attributesOf(joinPath(path, name));
    if (a.ok()) out.value.push_back({name, a.value});
  }
  ::closedir(dir);
  return out;
}

OsResult<std::string> PosixOs::shortPathName(const std::string& path) { return {path, kOsOk}; }

ProcessOutcome PosixOs::runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                         const std::string& currentDirectory) {
  // The stand-in interpreter gets the whole command line as its one argument,
  // the way a Windows program receives one line of text.
  const std::string exe = nativePath(program);
  const std::string cwd = nativePath(currentDirectory);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string arg0 = exe;
  std::string arg1 = commandLine;
  char* argv[] = {arg0.data(), arg1.data(), nullptr};
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return {false, 0, static_cast<OsError>(rc)};
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return {true, 0, lastError()};
  }
  // A child that failed to exec (missing file, no permission) ends with 127.
  const std::uint32_t code = WIFEXITED(status)
                                 ? static_cast<std::uint32_t>(WEXITSTATUS(status))
                                 : 0x80000000u | static_cast<std::uint32_t>(WTERMSIG(status));
  return {true, code, kOsOk};
}

OsResult<std::string> PosixOs::temporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  std::string out = dir != nullptr && *dir != '\0' ? dir : "/tmp";
  if (out.back() != '/') out += '/';
  return {out, kOsOk};
}

// No Windows here: the stand-in reports the failed query, as Windows itself
// would leave the record empty.
OsResult<WindowsVersion> PosixOs::windowsVersion() { return {{}, ENOSYS}; }

// The stand-in answers for the machine it runs on.
bool PosixOs::windowsIs64Bit() { return sizeof(void*) == 8; }

std::string PosixOs::systemDirectory() { return systemDirectory_; }

OsError PosixOs::writeUserRegistryString(const std::string& keyPath, const std::string& valueName,
                                         const std::string& data) {
  const std::string dir = joinPath(registryRoot_, keyPath);
  if (const OsError e = createDirectories(*this, dir); e != kOsOk) return e;
  auto f = createTruncate(joinPath(dir, valueName), FileShare::None);
  if (!f.ok()) return f.error;
  const OsError w = write(f.value, data.data(), data.size());
  const OsError c = closeFile(f.value);
  return w != kOsOk ? w : c;
}

std::string PosixOs::ansiToUtf8(const std::string& text) { return text; }

bool PosixOs::startDetachedThread(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

void PosixOs::sleepMs(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint64_t PosixOs::monotonicMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace norvane
