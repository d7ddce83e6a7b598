// Folder operations the core builds from the layer's one-level primitives.
#pragma once

#include <string>

#include "os/os.h"

namespace norvane {

// Creates the folder and every missing folder above it. Succeeds when the
// folder exists afterwards; a file in the way is an error.
OsError createDirectories(Os& os, const std::string& path);

// Removes the folder with everything in it, depth first, best effort.
// Links and junctions inside are removed themselves, never followed. Refuses
// an empty path or a drive root. Returns the first error met.
OsError deleteTree(Os& os, const std::string& path);

}  // namespace norvane
