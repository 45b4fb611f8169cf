// The picture test: plays the demo, which saves the gallery dialog and one
// picture per control family, and compares each picture with its reference
// in tests/pictures/<platform>/ pixel by pixel. A pixel differs when one of
// its channels is more than kChannelTolerance away from the reference; a
// picture passes with at most kAllowedPixels differing pixels (a glyph's
// antialiasing, a caret). Each picture that differs gets a difference
// picture next to it (<family>.diff.png): the reference faded, differing
// pixels red, pixels within the tolerance but not equal yellow, and where
// the sizes differ, magenta.
//
// The platform is the drawing Wine's major version ("wine-8"), or
// "windows"; two Wines draw some controls differently, so each has its own
// references. --update plays the demo twice, checks that the two runs agree,
// and (re)writes the references of the running platform: a reference whose
// pixels are unchanged is left as it is, one the demo no longer makes goes.
//
//     picture_check [--update] [--references DIR] [--output DIR] [--demo EXE] [--dll DLL]
//
// Defaults: the references of the source tree, output in build/demo/pictures,
// the demo and the DLL beside this program. Exit code 0 when every picture
// matches (or was written), 1 when one differs, 2 on a wrong option.
#include "demo/picture.h"
#include "host/owners.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::demo;

namespace {

constexpr int kChannelTolerance = 16;
// Wine 10 draws the three dots of an IP address box in one of two shades
// from one run to the next (18 pixels): a picture may differ by that much.
constexpr int kAllowedPixels = 32;
constexpr DWORD kDemoTimeLimitMs = 300'000;

using UniqueHandle = UniqueResource<HANDLE, &CloseHandle>;

struct Options {
    bool update = false;
    std::string references, output, demo, dll;
};

// The folder of this program (build/win/bin).
std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string text = path;
    return text.substr(0, text.find_last_of("\\/"));
}

std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

// The source tree as this program names it: a path of the build machine
// (under Wine drive Z: is its root).
std::string SourceFolder() {
    std::string path = VANTOR_SOURCE_DIR;
    if (path.starts_with("/")) path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    const std::string bin = ProgramFolder();
    o.references = SourceFolder() + "\\tests\\pictures";
    o.output = Parent(Parent(bin)) + "\\demo\\pictures";
    o.demo = bin + "\\vantor_demo.exe";
    o.dll = bin + "\\vantor44i.dll";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "--references" ? &o.references
                             : arg == "--output"   ? &o.output
                             : arg == "--demo"     ? &o.demo
                             : arg == "--dll"      ? &o.dll
                                                   : nullptr;
        if (arg == "--update") o.update = true;
        else if (value == nullptr) throw std::invalid_argument("unknown option " + arg);
        else if (++i == argc) throw std::invalid_argument(arg + " needs a value");
        else *value = argv[i];
    }
    return o;
}

// "wine-8" under Wine 8.x, "windows" elsewhere.
std::string Platform() {
    using Version = const char*(CDECL*)();
    const auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    if (version == nullptr) return "windows";
    const std::string text = version();
    return "wine-" + text.substr(0, text.find('.'));
}

// The names of the pictures in folder (difference pictures aside), sorted.
std::set<std::string> PicturesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "\\*.png").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (!name.ends_with(".diff.png")) names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string Stem(const std::string& name) { return name.substr(0, name.size() - 4); }

bool FolderExists(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Makes the folder and its missing parents.
void MakeFolder(const std::string& folder) {
    if (folder.size() <= 3 || FolderExists(folder)) return;
    MakeFolder(Parent(folder));
    CreateDirectoryA(folder.c_str(), nullptr);
}

// Plays the demo with its pictures saved in folder and its printed output in
// folder\demo.txt; true when it ran to the end and every read-back matched.
bool PlayDemo(const Options& o, const std::string& folder) {
    MakeFolder(folder);
    for (const std::string& name : PicturesIn(folder)) DeleteFileA((folder + "\\" + name).c_str());
    const std::string log = folder + "\\demo.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const UniqueFile out(CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    std::string command =
        "\"" + o.demo + "\" \"" + o.dll + "\" --gallery \"" + folder + "\\gallery.png\" --images \"" + folder + "\"";
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start %s (error %lu)\n", o.demo.c_str(), GetLastError());
        return false;
    }
    const UniqueHandle thread(process.hThread), demo(process.hProcess);
    DWORD code = 1;
    if (WaitForSingleObject(demo.get(), kDemoTimeLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(demo.get(), 1);
        std::printf("the demo did not end within %lu s\n", kDemoTimeLimitMs / 1000);
        return false;
    }
    GetExitCodeProcess(demo.get(), &code);
    if (code != 0) std::printf("the demo failed (exit code %lu; its output: %s)\n", code, HostPath(log).c_str());
    return code == 0;
}

struct Comparison {
    bool sameSize = false;
    int differing = 0;    // pixels beyond the tolerance
    int nearlyEqual = 0;  // pixels within it but not equal
    int largest = 0;      // the largest channel difference
    Picture difference{0, 0};

    bool Passes() const { return sameSize && differing <= kAllowedPixels; }
    bool Identical() const { return sameSize && differing == 0 && nearlyEqual == 0; }
};

int ChannelDifference(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

// The reference at a quarter of its strength, for the difference picture.
COLORREF Faded(COLORREF c) { return RGB(191 + GetRValue(c) / 4, 191 + GetGValue(c) / 4, 191 + GetBValue(c) / 4); }

Comparison Compare(const Picture& reference, const Picture& picture) {
    Comparison c;
    c.sameSize = reference.width() == picture.width() && reference.height() == picture.height();
    const int width = std::max(reference.width(), picture.width());
    const int height = std::max(reference.height(), picture.height());
    c.difference = Picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inReference = x < reference.width() && y < reference.height();
            const bool inPicture = x < picture.width() && y < picture.height();
            if (!inReference || !inPicture) {
                c.difference.Set(x, y, RGB(255, 0, 255));
                continue;
            }
            const int d = ChannelDifference(reference.At(x, y), picture.At(x, y));
            c.largest = std::max(c.largest, d);
            if (d > kChannelTolerance) ++c.differing;
            else if (d > 0) ++c.nearlyEqual;
            c.difference.Set(x, y,
                             d > kChannelTolerance ? RGB(255, 0, 0)
                             : d > 0               ? RGB(255, 255, 0)
                                                   : Faded(reference.At(x, y)));
        }
    return c;
}

// Compares every picture of folder with the reference of the same name;
// prints one line per picture and writes the difference pictures. True when
// all pass and each side has the same pictures.
bool CompareFolders(const std::string& references, const std::string& folder) {
    const std::set<std::string> expected = PicturesIn(references), made = PicturesIn(folder);
    bool ok = true;
    for (const std::string& name : made) DeleteFileA((folder + "\\" + Stem(name) + ".diff.png").c_str());
    for (const std::string& name : expected) {
        const std::string family = Stem(name);
        if (!made.contains(name)) {
            std::printf("  %-18s FAILED: the demo made no picture\n", family.c_str());
            ok = false;
            continue;
        }
        const Picture reference = Picture::FromFile(references + "\\" + name);
        const Picture picture = Picture::FromFile(folder + "\\" + name);
        const Comparison c = Compare(reference, picture);
        std::string line;
        if (reference.width() == 0) line = "FAILED: the reference cannot be read";
        else if (!c.sameSize)
            line = "FAILED: " + std::to_string(picture.width()) + " x " + std::to_string(picture.height()) +
                   " pixels, the reference " + std::to_string(reference.width()) + " x " +
                   std::to_string(reference.height());
        else if (c.Identical()) line = "same";
        else
            line = std::string(c.Passes() ? "passes: " : "FAILED: ") + std::to_string(c.differing) +
                   " pixels beyond the tolerance (" + std::to_string(kAllowedPixels) + " allowed), " +
                   std::to_string(c.nearlyEqual) + " within it; largest channel difference " +
                   std::to_string(c.largest);
        std::printf("  %-18s %s\n", family.c_str(), line.c_str());
        if (!c.Identical() && reference.width() > 0) {
            const std::string diff = folder + "\\" + family + ".diff.png";
            if (c.difference.SavePng(diff)) std::printf("  %-18s difference: %s\n", "", HostPath(diff).c_str());
        }
        ok = ok && reference.width() > 0 && c.Passes();
    }
    for (const std::string& name : made)
        if (!expected.contains(name)) {
            std::printf("  %-18s FAILED: no reference\n", Stem(name).c_str());
            ok = false;
        }
    return ok;
}

int Check(const Options& o) {
    const std::string references = o.references + "\\" + Platform();
    if (!FolderExists(references)) {
        std::printf(
            "no reference pictures for %s (%s): nothing compared.\n"
            "Make them with: bash scripts/pictures.sh --update\n",
            Platform().c_str(), HostPath(references).c_str());
        return 0;
    }
    const bool played = PlayDemo(o, o.output);
    std::printf("pictures of %s against %s:\n", HostPath(o.output).c_str(), HostPath(references).c_str());
    const bool same = CompareFolders(references, o.output);
    std::printf("%s\n", same && played ? "every picture matches"
                        : same         ? "the pictures match, but the demo failed"
                                       : "pictures differ (after a deliberate change: "
                                         "bash scripts/pictures.sh --update)");
    return same && played ? 0 : 1;
}

// Copies each picture of folder whose pixels differ from its reference (or
// that has none) into references; removes references the demo no longer makes.
void WriteReferences(const std::string& folder, const std::string& references) {
    MakeFolder(references);
    const std::set<std::string> made = PicturesIn(folder);
    for (const std::string& name : made) {
        const std::string target = references + "\\" + name;
        const Comparison c = Compare(Picture::FromFile(target), Picture::FromFile(folder + "\\" + name));
        const bool write = !c.Identical();
        if (write) CopyFileA((folder + "\\" + name).c_str(), target.c_str(), FALSE);
        std::printf("  %-18s %s\n", Stem(name).c_str(), write ? "written" : "unchanged");
    }
    for (const std::string& name : PicturesIn(references))
        if (!made.contains(name)) {
            DeleteFileA((references + "\\" + name).c_str());
            std::printf("  %-18s removed\n", Stem(name).c_str());
        }
}

int Update(const Options& o) {
    const std::string again = o.output + "\\again";
    if (!PlayDemo(o, o.output) || !PlayDemo(o, again)) return 1;
    std::printf("two runs of the demo, %s against %s:\n", HostPath(again).c_str(), HostPath(o.output).c_str());
    if (!CompareFolders(o.output, again)) {
        std::printf("the two runs differ: no reference written\n");
        return 1;
    }
    const std::string references = o.references + "\\" + Platform();
    std::printf("references of %s (%s):\n", Platform().c_str(), HostPath(references).c_str());
    WriteReferences(o.output, references);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        const OleScope ole;  // the image codecs are COM objects
        return options.update ? Update(options) : Check(options);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "picture_check: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "picture_check: %s\n", e.what());
        return 1;
    }
}
