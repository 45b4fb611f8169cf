// Message texts from a language file next to the extender. This program
// loads its own copy of the DLL from a folder of its own, so the loader's
// once-per-process choice of file is made here alone.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace vantor::testing;

namespace {

class LanguageFolder {
public:
    LanguageFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "vantor-language-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        dll_ = folder_ + "\\vantor44i.dll";
        CopyFileA(HostDouble::DefaultDllPath().c_str(), dll_.c_str(), FALSE);
        language_ = folder_ + "\\OLVELANG.enu";
        std::ofstream(language_) << "[vantor44i Extender]\n"
                                    "X101=Vantor~in another|language\n"
                                    "X201040=Please update the host~now\n"
                                    "X201001=XXX\n"
                                    "X0=never read\n";
    }
    ~LanguageFolder() {
        DeleteFileA(language_.c_str());
        DeleteFileA(dll_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    const std::string& dll() const { return dll_; }

private:
    std::string folder_, dll_, language_;
};

}  // namespace

TEST(Language, FileNextToTheLibraryOverridesResources) {
    LanguageFolder folder;
    auto host = std::make_unique<HostDouble>(folder.dll());
    char name[260] = {};
    EXPECT_EQ(host->Query(1, name, sizeof name), 44001);
    EXPECT_STREQ(name, "Vantor\nin another\tlanguage");
}

TEST(Language, ErrorMessagesComeFromTheFileAboveNinetyNineOnly) {
    LanguageFolder folder;
    auto host = std::make_unique<HostDouble>(folder.dll());

    host->SetHostVersion(1000);
    CallResult tooOld = host->Call("evProcessEvents");
    EXPECT_EQ(tooOld.status, -1);
    EXPECT_EQ(tooOld.text, "Please update the host\nnow");

    // message 0 (nothing armed) has key X0 in the file, but numbers below
    // 100 never consult it
    host->SetHostVersion(1100);
    CallResult nothingArmed = host->Call("evProcessEvents");
    EXPECT_EQ(nothingArmed.status, -1);
    EXPECT_EQ(nothingArmed.text, "");
    EXPECT_EQ(nothingArmed.callbacks, 1);
}
