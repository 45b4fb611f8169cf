#include "host/extender.h"
#include "host/owners.h"

namespace vantor {

bool CExtenderBase::CheckFileReadable(const char* path) {
    const UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return true;
    ShowFileOpenError();
    return false;
}

void CExtenderBase::ShowFileOpenError() {
    ShowNote("File Open Error", "The specified file does not appear to be available");
}

}  // namespace vantor
