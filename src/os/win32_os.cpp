#include "os/win32_os.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "os/win32_handle.h"
#include "os/win32_system.h"
#include "os/win32_text.h"

namespace norvane {

namespace {

OsError lastError() { return static_cast<OsError>(GetLastError()); }

HANDLE asHandle(FileId id) { return reinterpret_cast<HANDLE>(id); }

DWORD shareFlags(FileShare share) {
  switch (share) {
    case FileShare::None:
      return 0;
    case FileShare::Read:
      return FILE_SHARE_READ;
    case FileShare::All:
      return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  }
  return 0;
}

OsResult<FileId> createFile(const std::string& path, DWORD access, FileShare share,
                            DWORD disposition) {
  const HANDLE h = CreateFileW(toWide(path).c_str(), access, shareFlags(share), nullptr,
                               disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {0, lastError()};
  return {reinterpret_cast<FileId>(h), kOsOk};
}

FileAttributes fromWin32(DWORD a) {
  FileAttributes out;
  out.directory = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  out.readOnly = (a & FILE_ATTRIBUTE_READONLY) != 0;
  out.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  out.link = (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return out;
}

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t kMaxIo = 0x40000000;

}  // namespace

OsResult<FileId> Win32Os::openExisting(const std::string& path, FileAccess access,
                                       FileShare share) {
  const DWORD rights = access == FileAccess::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  return createFile(path, rights, share, OPEN_EXISTING);
}

OsResult<FileId> Win32Os::createTruncate(const std::string& path, FileShare share) {
  return createFile(path, GENERIC_WRITE, share, CREATE_ALWAYS);
}

OsResult<std::int64_t> Win32Os::seek(FileId file, std::int64_t offset, SeekFrom from) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position{};
  const DWORD method = from == SeekFrom::Begin     ? FILE_BEGIN
                       : from == SeekFrom::Current ? FILE_CURRENT
                                                   : FILE_END;
  if (!SetFilePointerEx(asHandle(file), distance, &position, method)) return {0, lastError()};
  return {position.QuadPart, kOsOk};
}

OsResult<std::size_t> Win32Os::read(FileId file, void* buffer, std::size_t size) {
  std::size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    const DWORD want = static_cast<DWORD>(std::min(size - total, kMaxIo));
    DWORD got = 0;
    if (!ReadFile(asHandle(file), out + total, want, &got, nullptr)) return {total, lastError()};
    if (got == 0) break;
    total += got;
  }
  return {total, kOsOk};
}

OsError Win32Os::write(FileId file, const void* data, std::size_t size) {
  std::size_t total = 0;
  const auto* in = static_cast<const char*>(data);
  while (total < size) {
    const DWORD want = static_cast<DWORD>(std::min(size - total, kMaxIo));
    DWORD put = 0;
    if (!WriteFile(asHandle(file), in + total, want, &put, nullptr)) return lastError();
    if (put == 0) return kErrShortWrite;
    total += put;
  }
  return kOsOk;
}

OsError Win32Os::closeFile(FileId file) {
  return CloseHandle(asHandle(file)) ? kOsOk : lastError();
}

void* Win32Os::allocateBuffer(std::size_t size) {
  // Committed pages straight from the system: a 60 MB chunk needs one
  // contiguous range of a 32-bit address space, and goes back whole.
  return VirtualAlloc(nullptr, size == 0 ? 1 : size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void Win32Os::releaseBuffer(void* buffer, std::size_t) { VirtualFree(buffer, 0, MEM_RELEASE); }

OsResult<FileAttributes> Win32Os::attributesOf(const std::string& path) {
  const DWORD a = GetFileAttributesW(toWide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return {{}, lastError()};
  return {fromWin32(a), kOsOk};
}

OsError Win32Os::setNormalAttributes(const std::string& path) {
  return SetFileAttributesW(toWide(path).c_str(), FILE_ATTRIBUTE_NORMAL) ? kOsOk : lastError();
}

OsError Win32Os::createDirectory(const std::string& path) {
  return CreateDirectoryW(toWide(path).c_str(), nullptr) ? kOsOk : lastError();
}

OsError Win32Os::removeDirectory(const std::string& path) {
  return RemoveDirectoryW(toWide(path).c_str()) ? kOsOk : lastError();
}

OsError Win32Os::deleteFile(const std::string& path) {
  return DeleteFileW(toWide(path).c_str()) ? kOsOk : lastError();
}

OsResult<std::vector<DirectoryEntry>> Win32Os::listDirectory(const std::string& path) {
  std::wstring pattern = toWide(path);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*.*";
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(pattern.c_str(), &data));
  if (!find.valid()) return {{}, lastError()};
  OsResult<std::vector<DirectoryEntry>> out;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    out.value.push_back({toUtf8(name), fromWin32(data.dwFileAttributes)});
  } while (FindNextFileW(find.get(), &data));
  if (const DWORD e = GetLastError(); e != ERROR_NO_MORE_FILES) out.error = e;
  return out;
}

OsResult<std::string> Win32Os::shortPathName(const std::string& path) {
  const std::wstring wide = toWide(path);
  const DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (n == 0) return {{}, lastError()};
  std::wstring out(n, L'\0');
  const DWORD written = GetShortPathNameW(wide.c_str(), out.data(), n);
  if (written == 0 || written >= n) return {{}, lastError()};
  out.resize(written);
  return {toUtf8(out), kOsOk};
}

ProcessOutcome Win32Os::runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                         const std::string& currentDirectory) {
  const std::wstring application = toWide(program);
  std::wstring line = toWide(commandLine);  // CreateProcessW may write into it
  const std::wstring folder = toWide(currentDirectory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return {false, 0, lastError()};
  }
  const KernelHandle process(info.hProcess);
  const KernelHandle thread(info.hThread);
  ProcessOutcome outcome{true, 0, kOsOk};
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0) {
    outcome.error = lastError();
    return outcome;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) outcome.error = lastError();
  outcome.exitCode = code;
  return outcome;
}

OsResult<std::string> Win32Os::temporaryFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0) return {{}, lastError()};
  if (n > MAX_PATH) return {{}, ERROR_INSUFFICIENT_BUFFER};
  return {toUtf8(buffer, n), kOsOk};
}

OsResult<WindowsVersion> Win32Os::windowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;  // the plain record, not the extended one
  if (!GetVersionExW(&info)) return {{}, lastError()};
  return {{info.dwMajorVersion, info.dwMinorVersion}, kOsOk};
}

bool Win32Os::windowsIs64Bit() {
#ifdef _WIN64
  // Asking IsWow64Process here would say "no WOW64", which a 64-bit
  // process never has, and so wrongly "32-bit Windows".
  return true;
#else
  // Missing before XP SP2, where no 64-bit Windows exists to run us.
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64 =
      procAddress<IsWow64ProcessFn>(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
  BOOL wow64 = FALSE;
  if (isWow64 == nullptr || !isWow64(GetCurrentProcess(), &wow64)) return false;
  return wow64 != FALSE;
#endif
}

std::string Win32Os::systemDirectory() { return toUtf8(systemFolder()); }

OsError Win32Os::writeUserRegistryString(const std::string& keyPath, const std::string& valueName,
                                         const std::string& data) {
  HKEY raw = nullptr;
  const LONG created = RegCreateKeyExW(HKEY_CURRENT_USER, toWide(keyPath).c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, &raw, nullptr);
  if (created != ERROR_SUCCESS) return static_cast<OsError>(created);
  const RegistryKey key(raw);
  const std::wstring value = toWide(data);
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));  // with its zero
  const LONG set = RegSetValueExW(key.get(), toWide(valueName).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()), bytes);
  return static_cast<OsError>(set);
}

std::string Win32Os::ansiToUtf8(const std::string& text) {
  const std::wstring wide = toWide(text, CP_ACP);
  // Bytes the code page cannot read stay as they are.
  return wide.empty() ? text : toUtf8(wide);
}

namespace {

DWORD WINAPI threadEntry(void* parameter) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return 0;
}

}  // namespace

bool Win32Os::startDetachedThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  const KernelHandle thread(CreateThread(nullptr, 0, threadEntry, owned.get(), 0, nullptr));
  if (!thread.valid()) return false;
  owned.release();  // the thread owns it now; closing our handle detaches it
  return true;
}

void Win32Os::sleepMs(std::uint32_t milliseconds) { Sleep(milliseconds); }

std::uint64_t Win32Os::monotonicMs() {
  // The performance counter exists on every Windows we run on, unlike
  // GetTickCount64, and does not wrap after 49 days like GetTickCount.
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<std::uint64_t>(now.QuadPart / (frequency.QuadPart / 1000));
}

}  // namespace norvane
