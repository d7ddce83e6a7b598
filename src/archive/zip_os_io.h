// minizip's file callbacks served by the Os layer.
#pragma once

#include <minizip/ioapi.h>

#include "os/os.h"

namespace norvane {

zlib_filefunc64_def osZipFileFunctions(Os& os);

}  // namespace norvane
