#include "host/files.h"

#include "host/owners.h"

namespace vantor {

bool CheckFileReadable(HWND owner, const char* path) {
    const UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return true;
    MessageBoxA(owner, "The specified file does not appear to be available", "File Open Error", 0);
    return false;
}

}  // namespace vantor
