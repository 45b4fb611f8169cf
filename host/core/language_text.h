// The texts of the language file lookup: the file's path, its section and
// key names, and a message as scripts see it. Platform-free: builds into the
// DLL and natively; characters are walked with the caller's lead-byte test
// (the DLL passes the system's, so double-byte code pages are walked whole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// True when byte starts a two-byte character in the code page in use.
using LeadByteTest = bool (*)(unsigned char byte);

// The characters of text up to and including the last '\\' or '/', walking
// characters, not bytes (the second byte of a double-byte character is never
// a separator). Stops at a NUL.
std::size_t DirectoryLength(std::string_view text, LeadByteTest leadByte);

// The file name of path without directory and extension (everything after
// its last '.' goes): "C:\\x\\vantor44i.dll" gives "vantor44i". The view
// form points into path.
std::string_view BaseNameView(std::string_view path, LeadByteTest leadByte);
std::string BaseName(std::string_view path, LeadByteTest leadByte);

// The texts below also come written into a buffer of kPathRoom characters
// (NUL included), allocating nothing: the error path of every call reads
// its message through them, and it must work when memory is exhausted.
inline constexpr std::size_t kPathRoom = 260;
using PathText = char[kPathRoom];

// The language file looked for next to the library: the directory of the
// library's own path (ownLength characters of it; none when that is 0 or not
// below 260) followed by "OLVELANG.<code>", the name part cut at 259
// characters, written into out. False when the composed text is longer
// than kPathRoom - 1 characters (out then holds its start).
bool LanguageFileBesideLibrary(std::string_view ownPath, std::size_t ownLength, std::string_view code,
                               LeadByteTest leadByte, PathText& out);

// The section of the library's messages, "<base name> Extender", cut at 259
// characters, and the key of message number, "X<number>".
std::string LanguageSection(std::string_view baseName);
void LanguageSection(std::string_view baseName, PathText& out);
std::string MessageKey(std::int32_t number);
void MessageKey(std::int32_t number, char (&out)[16]);

// A message as scripts see it: "~" becomes a line feed and "|" a tab, in
// place, up to the first NUL; the second byte of a double-byte character is
// left alone.
void ExpandMessageText(char* text, LeadByteTest leadByte);

}  // namespace vantor
