// Starting the project's programs from the Windows tests, with chosen
// environment variables, and waiting for them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace norvane::testing {

class ChildProcess {
 public:
  // Starts program in its own folder with the given variables set (and the
  // rest inherited). valid() is false when it could not start.
  ChildProcess(const std::string& program, const std::string& arguments,
               const std::vector<std::pair<std::wstring, std::wstring>>& environment);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  bool valid() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // GetLastError of a failed start, 0 otherwise.
  DWORD startError() const { return startError_; }
  // The exit code, or nothing when it has not ended in time (it is then killed).
  bool waitForExit(DWORD milliseconds, DWORD& exitCode);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  DWORD startError_ = 0;
};

// Copies a program built beside the test program to target; false if it
// could not.
bool copyBesideTestProgram(const std::string& name, const std::string& target);

// The first visible top-level window of the process with this class, or
// null after the timeout.
HWND waitForWindow(DWORD processId, const wchar_t* windowClass, DWORD milliseconds);

// A window's caption, and the text of a message box, as UTF-8.
std::string windowText(HWND window);
std::string messageBoxText(HWND box);

// The addresses the program has opened, from the test prefix's stand-in
// browser log (C:\\norvane-urls.log), sorted: Wine hands each address to a
// browser process of its own, so they arrive in no fixed order. Waits up to
// ten seconds for count of them, so none arrives late in the next test.
std::vector<std::string> openedUrls(std::size_t count);
void forgetOpenedUrls();
// The addresses opened so far, read after waiting ms: a page that should
// not open would reach the log only after its browser process started.
std::vector<std::string> urlsOpenedWithin(DWORD ms);

}  // namespace norvane::testing
