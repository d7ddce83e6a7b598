#include "support/win32_child.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "os/win32_text.h"
#include "support/platform.h"

namespace norvane::testing {

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments,
                           const std::vector<std::pair<std::wstring, std::wstring>>& environment) {
  std::vector<std::pair<std::wstring, std::wstring>> saved;
  for (const auto& [name, value] : environment) {
    wchar_t old[4096] = {};
    const DWORD had = GetEnvironmentVariableW(name.c_str(), old, 4096);
    saved.emplace_back(name, had != 0 ? std::wstring(old) : std::wstring(1, L'\0'));
    SetEnvironmentVariableW(name.c_str(), value.c_str());
  }
  std::wstring line = L"\"" + toWide(program) + L"\" " + toWide(arguments);
  const std::wstring folder = toWide(program.substr(0, program.find_last_of('\\')));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Wine has been seen to refuse a start once, at random, right after
  // another test's processes ended; a second try a moment later starts it.
  // Every refusal is printed, so a start that fails for good still shows why.
  for (int attempt = 1; attempt <= 3 && process_ == nullptr; ++attempt) {
    if (CreateProcessW(toWide(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &si, &pi)) {
      CloseHandle(pi.hThread);
      process_ = pi.hProcess;
      id_ = pi.dwProcessId;
      startError_ = 0;
    } else {
      startError_ = GetLastError();
      std::fprintf(stderr, "starting %s failed with error %lu (attempt %d)\n", program.c_str(),
                   static_cast<unsigned long>(startError_), attempt);
      Sleep(500);
    }
  }
  for (const auto& [name, value] : saved) {
    SetEnvironmentVariableW(name.c_str(),
                            value == std::wstring(1, L'\0') ? nullptr : value.c_str());
  }
}

ChildProcess::~ChildProcess() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
  CloseHandle(process_);
}

bool ChildProcess::waitForExit(DWORD milliseconds, DWORD& exitCode) {
  if (process_ == nullptr || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) {
    if (process_ != nullptr) TerminateProcess(process_, 99);
    return false;
  }
  return GetExitCodeProcess(process_, &exitCode) != FALSE;
}

bool copyBesideTestProgram(const std::string& name, const std::string& target) {
  return CopyFileW(toWide(besideTestProgram(name)).c_str(), toWide(target).c_str(), FALSE) != FALSE;
}

namespace {

struct Search {
  DWORD processId;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t cls[128] = {};
  GetClassNameW(window, cls, 128);
  if (owner == search.processId && IsWindowVisible(window) &&
      std::wstring(cls) == search.windowClass) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND waitForWindow(DWORD processId, const wchar_t* windowClass, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    Search search{processId, windowClass, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(100);
  } while (GetTickCount() - start < milliseconds);
  return nullptr;
}

std::string windowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return toUtf8(text);
}

std::string messageBoxText(HWND box) {
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's static text control
  return toUtf8(text);
}

namespace {
const char* const kUrlLog = "C:\\norvane-urls.log";
}  // namespace

std::vector<std::string> openedUrls(std::size_t count) {
  std::vector<std::string> urls;
  for (int i = 0; i < 100; ++i) {
    urls.clear();
    if (fileExists(kUrlLog)) {
      std::istringstream lines(readWholeFile(kUrlLog));
      for (std::string line; std::getline(lines, line);) urls.push_back(line);
    }
    if (urls.size() >= count) break;
    Sleep(100);
  }
  std::sort(urls.begin(), urls.end());
  return urls;
}

void forgetOpenedUrls() { platformOs().deleteFile(kUrlLog); }

std::vector<std::string> urlsOpenedWithin(DWORD ms) {
  Sleep(ms);
  return openedUrls(0);
}

}  // namespace norvane::testing
