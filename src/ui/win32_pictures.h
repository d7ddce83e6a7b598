// The pictures stored in the program, as bitmaps the controls can show.
#pragma once

#include <windows.h>

namespace norvane {

// A JPEG from the program's RCDATA resources as a 24-bit DIB section;
// null when it is missing or cannot be decoded.
HBITMAP loadJpegResource(int resourceId);

}  // namespace norvane
