#pragma once

#include <windows.h>

namespace vantor {

// True when path opens for reading (others may read and write meanwhile).
// Otherwise shows "The specified file does not appear to be available",
// titled "File Open Error", owned by owner, and gives false.
bool CheckFileReadable(HWND owner, const char* path);

}  // namespace vantor
