// Owners of Win32 handles. Kernel objects use null for "none", file and
// search handles INVALID_HANDLE_VALUE; each owner knows which it holds, so
// neither value is ever closed or mistaken for a live handle.
#pragma once

#include <windows.h>

#include <utility>

namespace norvane {

template <class Traits>
class UniqueWin32Handle {
 public:
  using Value = typename Traits::Value;
  UniqueWin32Handle() = default;
  explicit UniqueWin32Handle(Value h) : h_(h) {}
  UniqueWin32Handle(const UniqueWin32Handle&) = delete;
  UniqueWin32Handle& operator=(const UniqueWin32Handle&) = delete;
  UniqueWin32Handle(UniqueWin32Handle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
  UniqueWin32Handle& operator=(UniqueWin32Handle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Traits::invalid());
    }
    return *this;
  }
  ~UniqueWin32Handle() { reset(); }

  bool valid() const { return h_ != Traits::invalid(); }
  Value get() const { return h_; }
  void reset() {
    if (valid()) Traits::close(std::exchange(h_, Traits::invalid()));
  }

 private:
  Value h_ = Traits::invalid();
};

struct KernelHandleTraits {  // processes, threads, events: null when absent
  using Value = HANDLE;
  static Value invalid() { return nullptr; }
  static void close(Value h) { CloseHandle(h); }
};

struct FindHandleTraits {  // FindFirstFile: INVALID_HANDLE_VALUE, closed by FindClose
  using Value = HANDLE;
  static Value invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Value h) { FindClose(h); }
};

struct RegistryKeyTraits {
  using Value = HKEY;
  static Value invalid() { return nullptr; }
  static void close(Value h) { RegCloseKey(h); }
};

using KernelHandle = UniqueWin32Handle<KernelHandleTraits>;
using FindHandle = UniqueWin32Handle<FindHandleTraits>;
using RegistryKey = UniqueWin32Handle<RegistryKeyTraits>;

}  // namespace norvane
