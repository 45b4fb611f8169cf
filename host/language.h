// Message texts: from the language file "OLVELANG.<code>" when one is found,
// else from the library's string resources.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vantor {

// The library's own module, recorded by the DLL entry point.
extern HINSTANCE theModule;

// The library's file name without directory and extension, e.g. "vantor44i".
void ModuleBaseName(char (&baseName)[260]);

// Puts the text of message number into buffer (size characters; size 0 uses
// the loader's own 256-character buffer), with "~" turned into a line feed
// and "|" into a tab. Returns the number of characters found.
//
// The language file is chosen once: the code is "Language" of section
// "MAIN" in "OLVHOSTS.INI", else "sLanguage" of "INTL" (default "enu"); the
// file is looked for next to the library, then on the search path. Its
// section is the library's base name followed by " Extender" and message N
// is key "X<N>". Numbers below 100 always come from the resources. Number 0
// chooses the file again.
std::int32_t LoadLocalizedString(std::int32_t number, char* buffer, std::int32_t size);

}  // namespace vantor
