#include "test_os.h"

namespace norvane::testing {

std::vector<std::string> TestOs::effectsStartingWith(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& e : effects_) {
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  }
  return out;
}

std::string TestOs::pathOf(FileId file) const {
  const auto it = openPaths_.find(file);
  return it == openPaths_.end() ? std::string("?") : it->second;
}

OsError TestOs::fault(const std::string& line) {
  OsError result = kOsOk;
  for (Fault& f : faults_) {
    if (line.rfind(f.prefix, 0) != 0) continue;
    ++f.seen;
    if ((f.nth == 0 || f.seen == f.nth) && result == kOsOk) result = f.error;
  }
  return result;
}

OsResult<FileId> TestOs::openExisting(const std::string& path, FileAccess access, FileShare share) {
  const std::string line =
      std::string(access == FileAccess::Read ? "open-read " : "open-rw ") + path;
  if (const OsError e = fault(line)) return {0, e};
  auto r = inner_.openExisting(path, access, share);
  if (r.ok()) openPaths_[r.value] = path;
  if (access == FileAccess::ReadWrite && r.ok()) effect(line);
  return r;
}

OsResult<FileId> TestOs::createTruncate(const std::string& path, FileShare share) {
  const std::string line = "create " + path;
  if (const OsError e = fault(line)) return {0, e};
  effect(line);
  auto r = inner_.createTruncate(path, share);
  if (r.ok()) openPaths_[r.value] = path;
  return r;
}

OsResult<std::int64_t> TestOs::seek(FileId file, std::int64_t offset, SeekFrom from) {
  if (const OsError e = fault("seek " + pathOf(file))) return {0, e};
  return inner_.seek(file, offset, from);
}

OsResult<std::size_t> TestOs::read(FileId file, void* buffer, std::size_t size) {
  if (const OsError e = fault("read " + pathOf(file))) return {0, e};
  return inner_.read(file, buffer, size);
}

OsError TestOs::write(FileId file, const void* data, std::size_t size) {
  const std::string line = "write " + pathOf(file) + " " + std::to_string(size);
  if (const OsError e = fault(line)) return e;
  effect(line);
  return inner_.write(file, data, size);
}

OsError TestOs::closeFile(FileId file) {
  // Closing is never made to fail: a handle must not leak in the tests.
  openPaths_.erase(file);
  return inner_.closeFile(file);
}

void* TestOs::allocateBuffer(std::size_t size) {
  if (fault("allocate") != kOsOk) return nullptr;
  void* p = inner_.allocateBuffer(size);
  if (p != nullptr) {
    bufferNow_ += size;
    if (bufferNow_ > peakBuffer_) peakBuffer_ = bufferNow_;
  }
  return p;
}

void TestOs::releaseBuffer(void* buffer, std::size_t size) {
  bufferNow_ -= size;
  inner_.releaseBuffer(buffer, size);
}

OsResult<FileAttributes> TestOs::attributesOf(const std::string& path) {
  if (const OsError e = fault("attributes " + path)) return {{}, e};
  return inner_.attributesOf(path);
}

OsError TestOs::setNormalAttributes(const std::string& path) {
  const std::string line = "normal " + path;
  if (const OsError e = fault(line)) return e;
  effect(line);
  return inner_.setNormalAttributes(path);
}

OsError TestOs::createDirectory(const std::string& path) {
  const std::string line = "mkdir " + path;
  if (const OsError e = fault(line)) return e;
  effect(line);
  return inner_.createDirectory(path);
}

OsError TestOs::removeDirectory(const std::string& path) {
  const std::string line = "rmdir " + path;
  if (const OsError e = fault(line)) return e;
  effect(line);
  return inner_.removeDirectory(path);
}

OsError TestOs::deleteFile(const std::string& path) {
  const std::string line = "delete " + path;
  if (const OsError e = fault(line)) return e;
  effect(line);
  return inner_.deleteFile(path);
}

OsResult<std::vector<DirectoryEntry>> TestOs::listDirectory(const std::string& path) {
  if (const OsError e = fault("list " + path)) return {{}, e};
  return inner_.listDirectory(path);
}

OsResult<std::string> TestOs::shortPathName(const std::string& path) {
  if (const OsError e = fault("short " + path)) return {{}, e};
  if (const auto pretended = shortPathNames_.find(path); pretended != shortPathNames_.end()) {
    return pretended->second;
  }
  return inner_.shortPathName(path);
}

ProcessOutcome TestOs::runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                        const std::string& currentDirectory) {
  const std::string line = "run " + commandLine;
  if (const OsError e = fault(line)) return {false, 0, e};
  effect(line);
  if (processFake_) {
    ProcessOutcome outcome = processFake_(commandLine);
    effect("ended " + commandLine);
    return outcome;
  }
  ProcessOutcome outcome = inner_.runHiddenAndWait(program, commandLine, currentDirectory);
  effect("ended " + commandLine);
  return outcome;
}

OsError TestOs::writeUserRegistryString(const std::string& keyPath, const std::string& valueName,
                                        const std::string& data) {
  const std::string line = "registry HKCU\\" + keyPath + " " + valueName + "=" + data;
  if (const OsError e = fault(line)) return e;
  effect(line);
  return inner_.writeUserRegistryString(keyPath, valueName, data);
}

OsResult<std::string> TestOs::temporaryFolder() {
  if (const OsError e = fault("temp")) return {{}, e};
  return temporaryFolder_ ? *temporaryFolder_ : inner_.temporaryFolder();
}

OsResult<WindowsVersion> TestOs::windowsVersion() {
  if (const OsError e = fault("version")) return {{}, e};
  return pretending_ ? version_ : inner_.windowsVersion();
}

bool TestOs::windowsIs64Bit() {
  if (fault("wow64") != kOsOk) return false;
  return pretending_ ? is64Bit_ : inner_.windowsIs64Bit();
}

bool TestOs::startDetachedThread(std::function<void()> body) {
  if (fault("thread") != kOsOk) return false;
  effect("thread");
  return inner_.startDetachedThread(std::move(body));
}

void TestOs::sleepMs(std::uint32_t milliseconds) {
  effect("sleep " + std::to_string(milliseconds));
  inner_.sleepMs(milliseconds);
}

}  // namespace norvane::testing
