// Message texts from a language file next to the extender. Each test loads
// its own copy of the DLL from a folder of its own and chooses the language
// itself (in the host's "OLVHOSTS.INI"), so the machine's own language
// settings play no part.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace vantor::testing;

namespace {

constexpr char kResourceName[] = "Vantor Dialog Controls Extender";
constexpr char kResourceTooOld[] = "201040: This extender function requires KEL DLL version 6.21bub or newer";

// A copy of the DLL with a language file beside it.
class LanguageFolder {
public:
    // A language file of the given code and contents beside the copy.
    explicit LanguageFolder(const std::string& code = "tst", const std::string& contents =
                                                                 "[vantor44i Extender]\n"
                                                                 "X101=Vantor~in another|language\n"
                                                                 "X201040=Please update the host~now\n"
                                                                 "X201001=XXX\n"
                                                                 "X0=never read\n")
        : language_(copy_.Put("OLVELANG." + code, contents)) {}
    const std::string& dll() const { return copy_.dll(); }
    const std::string& language() const { return language_; }

private:
    DllCopy copy_;
    std::string language_;
};

// The host's OLVHOSTS.INI (in the Windows folder) naming a language while
// in scope; the setting it replaced comes back afterwards.
class HostLanguageSetting {
public:
    explicit HostLanguageSetting(const char* code) {
        GetPrivateProfileStringA("MAIN", "Language", kNone, previous_, sizeof previous_, kFile);
        WritePrivateProfileStringA("MAIN", "Language", code, kFile);
    }
    ~HostLanguageSetting() {
        const bool had = std::string(previous_) != kNone;
        WritePrivateProfileStringA("MAIN", "Language", had ? previous_ : nullptr, kFile);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kFile);  // written out now
    }
    HostLanguageSetting(const HostLanguageSetting&) = delete;
    HostLanguageSetting& operator=(const HostLanguageSetting&) = delete;

private:
    static constexpr const char* kFile = "OLVHOSTS.INI";
    static constexpr const char* kNone = "(none)";
    char previous_[64] = {};
};

// The sample of docs/, copied beside the test program by the build.
std::string SampleLanguageFile() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(0, name.find_last_of("\\/")) + "\\docs\\OLVELANG.deu";
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A value of the sample as the library hands it over: "~" a line break.
std::string SampleText(const std::string& file, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA("vantor44i Extender", key, "", value, sizeof value, file.c_str());
    std::string text = value;
    for (char& c : text) {
        if (c == '~') c = '\n';
        else if (c == '|') c = '\t';
    }
    return text;
}

std::string DisplayName(HostDouble& host) {
    char name[260] = {};
    host.Query(1, name, sizeof name);
    return name;
}

}  // namespace

// docs/OLVELANG.deu, chosen by the host's language setting, gives the
// display name and the error texts it has; the others stay the library's.
TEST(Language, SampleFileOfTheDocsOverridesWhatItNames) {
    const std::string sample = SampleLanguageFile();
    ASSERT_FALSE(sample.empty()) << "docs/OLVELANG.deu is not beside the test program";
    const HostLanguageSetting german("deu");
    LanguageFolder folder("deu", sample);
    const std::string displayName = SampleText(folder.language(), "X101");
    const std::string tooOldText = SampleText(folder.language(), "X201040");
    ASSERT_NE(displayName, "");
    ASSERT_NE(tooOldText.find('\n'), std::string::npos) << "the sample shows a line break";
    auto host = std::make_unique<HostDouble>(folder.dll());

    char name[260] = {};
    EXPECT_EQ(host->Query(1, name, sizeof name), 44001);
    EXPECT_EQ(std::string(name), displayName);

    host->SetHostVersion(1000);
    const CallResult tooOld = host->Call("evProcessEvents");
    EXPECT_EQ(tooOld.status, -1);
    EXPECT_EQ(tooOld.text, tooOldText);

    // 201004 is not in the sample: the library's own text.
    host->SetHostVersion(1100);
    const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    host->Call("evDialogProcOptions", {window, -111, 1});
    host->FailOperation(3, 3);  // the host refuses its value with code 3
    const CallResult refused = host->Call("evProcessEvents");
    EXPECT_EQ(refused.status, -1);
    EXPECT_EQ(refused.text, "3: Map variable is not a map");
    DestroyWindow(window);
}

TEST(Language, FileNextToTheLibraryOverridesResources) {
    const HostLanguageSetting language("tst");
    LanguageFolder folder;
    auto host = std::make_unique<HostDouble>(folder.dll());
    char name[260] = {};
    EXPECT_EQ(host->Query(1, name, sizeof name), 44001);
    EXPECT_STREQ(name, "Vantor\nin another\tlanguage");
}

TEST(Language, ErrorMessagesComeFromTheFileAboveNinetyNineOnly) {
    const HostLanguageSetting language("tst");
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

// A key whose value is "XXX" is as good as no key: the resource text comes.
TEST(Language, ValueXXXInTheFileFallsBackToTheResources) {
    const HostLanguageSetting language("tst");
    LanguageFolder folder;
    auto host = std::make_unique<HostDouble>(folder.dll());
    EXPECT_EQ(DisplayName(*host), "Vantor\nin another\tlanguage") << "the file is in use";
    // X201001=XXX: the error a bad list of right edges delivers
    const CallResult r = host->Call("sbSetParts", {0, "abc"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.text, "20101: System error.");
}

// A language for which there is no file, and the code "XXX" (which reads as
// no setting at all), give the texts of the string resources.
TEST(Language, LanguageWithoutFileGivesTheResources) {
    for (const char* code : {"qqz", "XXX"}) {
        SCOPED_TRACE(code);
        const HostLanguageSetting language(code);
        LanguageFolder folder;
        auto host = std::make_unique<HostDouble>(folder.dll());
        host->Call("evProcessEvents");  // message 0 chooses the file again
        EXPECT_EQ(DisplayName(*host), kResourceName);
        host->SetHostVersion(1000);
        EXPECT_EQ(host->Call("evProcessEvents").text, kResourceTooOld);
    }
}
