// The folder under the temporary-files folder where a run stages payloads.
#pragma once

#include <string>

#include "os/os.h"

namespace norvane {

// The temporary-files folder as the system reports it, trailing separator
// included. Fails, rather than return something unsafe, when the query
// fails or gives a path that is not absolute or is a bare drive root.
OsResult<std::string> tempPath(Os& os);

// Whether the folder that holds the path's last name holds a folder of that
// name. Plain files do not count; letter case does not matter, as it does
// not to Windows.
bool directoryExists(Os& os, const std::string& path);

// Creates a new folder temp + "\Kavrin", else "\Kavrin_0", "\Kavrin_1" and
// so on, and returns it with a trailing separator. A name that exists as a
// folder, or that this run cannot create as a new folder (a file in the
// way), is passed over, so the run only ever fills and Finish only ever
// deletes a folder this run made. The temporary path keeps its own
// trailing separator, so the result holds a doubled one before "Kavrin".
OsResult<std::string> allocateWorkDirectory(Os& os);

}  // namespace norvane
