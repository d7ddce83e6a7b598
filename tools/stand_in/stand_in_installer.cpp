// A harmless stand-in for a vendor installer, for end-to-end tests. It logs
// how it was started, waits, and exits with a chosen code. Id, code and wait
// come from a marker line that the payload generator appends after the PE
// image, so one build serves every component:
//   NORVANE-STAND-IN id=<n> code=<exit code> sleep=<ms>\n
// Log lines, appended to C:\norvane-installers.log (UTF-8, "\n" ended):
//   start|<id>|<command line>|<current directory>|<ms>
//   end|<id>|<ms>
// <ms> is QueryPerformanceCounter time, comparable between processes.
// Plain Win32 only: the program must run on any Windows the product targets.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr char kMarker[] = "NORVANE-STAND-IN ";
constexpr std::size_t kMarkerLength = sizeof(kMarker) - 1;
// The marker sits right after the image; a window tolerates a small gap.
constexpr DWORD kMarkerWindow = 64 * 1024;
constexpr wchar_t kLogPath[] = L"C:\\norvane-installers.log";

struct Settings {
  std::uint32_t id = 0;
  std::uint32_t code = 0;
  std::uint32_t sleepMs = 0;
};

bool readAt(HANDLE file, std::uint64_t offset, void* buffer, DWORD size, DWORD* got) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  *got = 0;
  if (ReadFile(file, buffer, size, got, &at)) return true;
  return GetLastError() == ERROR_HANDLE_EOF;
}

template <typename T>
bool readStruct(HANDLE file, std::uint64_t offset, T* value) {
  DWORD got = 0;
  return readAt(file, offset, value, sizeof(T), &got) && got == sizeof(T);
}

// Where the PE image ends in the file: past the sections, the COFF symbol
// and string tables (unstripped MinGW builds keep them) and any certificate.
// Returns 0 when the file is not a PE image.
std::uint64_t imageEnd(HANDLE file) {
  IMAGE_DOS_HEADER dos{};
  if (!readStruct(file, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return 0;
  const std::uint64_t ntAt = static_cast<std::uint32_t>(dos.e_lfanew);
  DWORD signature = 0;
  IMAGE_FILE_HEADER header{};
  if (!readStruct(file, ntAt, &signature) || signature != IMAGE_NT_SIGNATURE) return 0;
  if (!readStruct(file, ntAt + 4, &header)) return 0;
  const std::uint64_t optionalAt = ntAt + 4 + sizeof(IMAGE_FILE_HEADER);
  std::uint64_t end = 0;

  WORD magic = 0;
  if (!readStruct(file, optionalAt, &magic)) return 0;
  IMAGE_DATA_DIRECTORY security{};
  if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    IMAGE_OPTIONAL_HEADER64 optional{};
    if (!readStruct(file, optionalAt, &optional)) return 0;
    end = optional.SizeOfHeaders;
    if (optional.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_SECURITY)
      security = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY];
  } else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    IMAGE_OPTIONAL_HEADER32 optional{};
    if (!readStruct(file, optionalAt, &optional)) return 0;
    end = optional.SizeOfHeaders;
    if (optional.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_SECURITY)
      security = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY];
  } else {
    return 0;
  }

  const std::uint64_t sectionsAt = optionalAt + header.SizeOfOptionalHeader;
  for (WORD i = 0; i < header.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section{};
    if (!readStruct(file, sectionsAt + i * sizeof(IMAGE_SECTION_HEADER), &section)) return 0;
    if (section.SizeOfRawData == 0) continue;
    const std::uint64_t sectionEnd =
        static_cast<std::uint64_t>(section.PointerToRawData) + section.SizeOfRawData;
    if (sectionEnd > end) end = sectionEnd;
  }
  if (header.PointerToSymbolTable != 0) {
    // 18 bytes per COFF symbol; the string table follows, its size first.
    const std::uint64_t stringsAt =
        static_cast<std::uint64_t>(header.PointerToSymbolTable) + header.NumberOfSymbols * 18ull;
    DWORD stringsSize = 0;
    if (!readStruct(file, stringsAt, &stringsSize) || stringsSize < 4) stringsSize = 4;
    if (stringsAt + stringsSize > end) end = stringsAt + stringsSize;
  }
  if (security.VirtualAddress != 0) {
    // The certificate table's "address" is a file offset.
    const std::uint64_t certificateEnd =
        static_cast<std::uint64_t>(security.VirtualAddress) + security.Size;
    if (certificateEnd > end) end = certificateEnd;
  }
  return end;
}

// Reads "<name>=<number>" at text; the number may carry a leading '-'.
bool parseField(const char*& text, const char* end, const char* name, bool allowSign,
                std::int64_t* value) {
  const std::size_t nameLength = std::strlen(name);
  if (static_cast<std::size_t>(end - text) < nameLength + 2) return false;
  if (std::memcmp(text, name, nameLength) != 0 || text[nameLength] != '=') return false;
  text += nameLength + 1;
  bool negative = false;
  if (allowSign && text < end && *text == '-') {
    negative = true;
    ++text;
  }
  std::int64_t number = 0;
  const char* digitsStart = text;
  while (text < end && *text >= '0' && *text <= '9') {
    number = number * 10 + (*text - '0');
    if (number > 0xFFFFFFFFll) return false;  // beyond any DWORD: malformed
    ++text;
  }
  if (text == digitsStart) return false;
  *value = negative ? -number : number;
  return true;
}

// The marker's values; a malformed marker counts as none, which the log
// shows as id 0.
bool parseMarker(const char* text, const char* end, Settings* settings) {
  text += kMarkerLength;
  std::int64_t id = 0, code = 0, sleepMs = 0;
  if (!parseField(text, end, "id", false, &id) || text >= end || *text++ != ' ') return false;
  if (!parseField(text, end, "code", true, &code) || text >= end || *text++ != ' ') return false;
  if (!parseField(text, end, "sleep", false, &sleepMs)) return false;
  if (text < end && *text == '\r') ++text;
  if (text >= end || *text != '\n') return false;
  if (code < -2147483648ll || sleepMs == 0xFFFFFFFFll) return false;  // INFINITE is no test
  settings->id = static_cast<std::uint32_t>(id);
  settings->code = static_cast<std::uint32_t>(code);  // negatives wrap like NTSTATUS codes
  settings->sleepMs = static_cast<std::uint32_t>(sleepMs);
  return true;
}

Settings readSettings() {
  Settings settings;
  std::vector<wchar_t> self(32768);
  const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (length == 0 || length >= self.size()) return settings;
  HANDLE file =
      CreateFileW(self.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return settings;
  const std::uint64_t start = imageEnd(file);
  if (start != 0) {
    std::vector<char> window(kMarkerWindow);
    DWORD got = 0;
    if (readAt(file, start, window.data(), kMarkerWindow, &got) && got >= kMarkerLength) {
      const char* end = window.data() + got;
      for (const char* p = window.data(); p + kMarkerLength <= end; ++p) {
        if (std::memcmp(p, kMarker, kMarkerLength) == 0) {
          parseMarker(p, end, &settings);
          break;
        }
      }
    }
  }
  CloseHandle(file);
  return settings;
}

std::uint64_t nowMs() {
  LARGE_INTEGER frequency{}, counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const std::uint64_t f = static_cast<std::uint64_t>(frequency.QuadPart);
  const std::uint64_t c = static_cast<std::uint64_t>(counter.QuadPart);
  if (f == 0) return GetTickCount();
  return c / f * 1000 + c % f * 1000 / f;  // split so the product cannot overflow
}

void appendText(std::vector<char>& line, const char* text) {
  line.insert(line.end(), text, text + std::strlen(text));
}

void appendNumber(std::vector<char>& line, std::uint64_t value) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) line.push_back(digits[--count]);
}

// UTF-8, with line breaks turned into blanks so each record stays one line.
void appendWide(std::vector<char>& line, const wchar_t* text) {
  const int wideLength = lstrlenW(text);
  if (wideLength == 0) return;
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  const std::size_t at = line.size();
  line.resize(at + static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, text, wideLength, line.data() + at, size, nullptr, nullptr);
  for (std::size_t i = at; i < line.size(); ++i) {
    if (line[i] == '\r' || line[i] == '\n') line[i] = ' ';
  }
}

// One WriteFile per record on an append-only handle, so records from
// installers running at the same time never interleave.
void appendLog(const std::vector<char>& line) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE log = CreateFileW(kLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) return;
      Sleep(20);
      continue;
    }
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return;
  }
}

}  // namespace

int wmain() {
  const Settings settings = readSettings();

  std::vector<char> line;
  appendText(line, "start|");
  appendNumber(line, settings.id);
  appendText(line, "|");
  appendWide(line, GetCommandLineW());
  appendText(line, "|");
  const DWORD directorySize = GetCurrentDirectoryW(0, nullptr);
  if (directorySize > 0) {
    std::vector<wchar_t> directory(directorySize + 1);
    if (GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()) > 0)
      appendWide(line, directory.data());
  }
  appendText(line, "|");
  appendNumber(line, nowMs());
  appendText(line, "\n");
  appendLog(line);

  if (settings.sleepMs != 0) Sleep(settings.sleepMs);

  line.clear();
  appendText(line, "end|");
  appendNumber(line, settings.id);
  appendText(line, "|");
  appendNumber(line, nowMs());
  appendText(line, "\n");
  appendLog(line);

  ExitProcess(settings.code);
}
