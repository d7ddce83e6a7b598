// The program is started from Downloads folders and runs elevated, so a
// DLL planted beside it must never be loaded.
#pragma once

namespace norvane {

enum class DllSearchHardening {
  SystemFolderOnly,  // SetDefaultDllDirectories took effect
  AppFolderRemoved,  // older systems: SetDllDirectoryW(L"") and preloading
  None,
};

// Call first thing in the program, before anything loads a DLL by name.
// Limits the DLL search to the system folder where Windows can, else takes
// the program's folder and the current folder out of it; either way loads
// the DLLs that Windows pulls in by name later (theming, version
// information, composition) from the system folder first, so a later load
// by name finds them already in memory.
DllSearchHardening hardenDllSearch();

}  // namespace norvane
