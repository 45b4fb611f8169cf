// The texts that the language lookup and the control functions read.
#include "controls/core/control_texts.h"
#include "host/core/language_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantor;

namespace {

bool NoLeadBytes(unsigned char) { return false; }
bool ShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The language file's path as LanguageFileBesideLibrary writes it, when it fits.
std::string BesideLibrary(std::string_view ownPath, std::size_t ownLength, std::string_view code) {
    PathText text;
    EXPECT_TRUE(LanguageFileBesideLibrary(ownPath, ownLength, code, NoLeadBytes, text));
    return text;
}

}  // namespace

TEST(LanguageText, DirectoryWalksCharactersNotBytes) {
    EXPECT_EQ(DirectoryLength("C:\\a\\b.dll", NoLeadBytes), 5u);
    EXPECT_EQ(DirectoryLength("C:/a\\b/c", NoLeadBytes), 7u);
    EXPECT_EQ(DirectoryLength("b.dll", NoLeadBytes), 0u);
    // 0x95 0x5C is one character whose second byte is a backslash
    const std::string path = "C:\\\x95\x5C.dll";
    EXPECT_EQ(DirectoryLength(path, ShiftJisLeadByte), 3u);
    EXPECT_EQ(DirectoryLength(path, NoLeadBytes), 5u);
    EXPECT_EQ(BaseName(path, ShiftJisLeadByte), "\x95\x5C");
}

TEST(LanguageText, NamesOfFileSectionAndKey) {
    EXPECT_EQ(BaseName("C:\\x\\vantor44i.dll", NoLeadBytes), "vantor44i");
    EXPECT_EQ(BaseName("C:\\x.y\\name.v2.dll", NoLeadBytes), "name.v2");
    EXPECT_EQ(BaseName("C:\\x\\noextension", NoLeadBytes), "noextension");
    EXPECT_EQ(BesideLibrary("C:\\x\\vantor44i.dll", 18, "enu"), "C:\\x\\OLVELANG.enu");
    EXPECT_EQ(BesideLibrary("C:\\x\\vantor44i.dll", 0, "enu"), "OLVELANG.enu") << "no path of its own: the name alone";
    EXPECT_EQ(BesideLibrary("C:\\x\\vantor44i.dll", 260, "deu"), "OLVELANG.deu");
    EXPECT_EQ(LanguageSection("vantor44i"), "vantor44i Extender");
    EXPECT_EQ(LanguageSection(std::string(300, 'n')).size(), 259u);
    EXPECT_EQ(MessageKey(201040), "X201040");
    EXPECT_EQ(MessageKey(-2147483647 - 1), "X-2147483648");
}

// The forms written into a path buffer, which the error path reads its
// message through, give the same texts; a composed path too long for the
// buffer says so instead of being looked for cut.
TEST(LanguageText, BufferFormsGiveTheSameTexts) {
    PathText text;
    EXPECT_TRUE(LanguageFileBesideLibrary("C:\\x\\vantor44i.dll", 18, "enu", NoLeadBytes, text));
    EXPECT_STREQ(text, "C:\\x\\OLVELANG.enu");
    const std::string deep = "C:\\" + std::string(240, 'd') + "\\v.dll";  // a directory of 244
    EXPECT_TRUE(LanguageFileBesideLibrary(deep, deep.size(), "enu", NoLeadBytes, text)) << "256 characters";
    EXPECT_EQ(std::string(text), "C:\\" + std::string(240, 'd') + "\\OLVELANG.enu");
    EXPECT_FALSE(LanguageFileBesideLibrary(deep, deep.size(), "abcdefghijklmnopqrs", NoLeadBytes, text))
        << "272 characters";
    LanguageSection(std::string(300, 'n'), text);
    EXPECT_EQ(std::string(text), std::string(259, 'n'));
    char key[16];
    MessageKey(-2147483647 - 1, key);
    EXPECT_STREQ(key, "X-2147483648");
    MessageKey(0, key);
    EXPECT_STREQ(key, "X0");
}

TEST(LanguageText, LineBreaksAndTabsButNotInsideDoubleByteCharacters) {
    char plain[] = "a~b|c~";
    ExpandMessageText(plain, NoLeadBytes);
    EXPECT_STREQ(plain, "a\nb\tc\n");
    char wide[] = "\x81~|\x81|~";  // "\x81~" and "\x81|" are characters of their own
    ExpandMessageText(wide, ShiftJisLeadByte);
    EXPECT_STREQ(wide, "\x81~\t\x81|\n");
    char endsOnLeadByte[] = "~\x81";
    ExpandMessageText(endsOnLeadByte, ShiftJisLeadByte);
    EXPECT_STREQ(endsOnLeadByte, "\n\x81");
}

TEST(ControlTexts, PartEdgesOrTheMessageNamingThePiece) {
    const PartEdges good = ParsePartEdges(" +60 120px  -1 ");
    EXPECT_TRUE(good.error.empty());
    EXPECT_EQ(good.edges, (std::vector<std::int32_t>{60, 120, -1}));
    EXPECT_TRUE(ParsePartEdges("").edges.empty());

    const PartEdges bad = ParsePartEdges("100 " + std::string(100, 'x') + " -1");
    EXPECT_TRUE(bad.edges.empty());
    EXPECT_EQ(bad.error, "The right edge \"" + std::string(40, 'x') + "...\" is not a number.");
    EXPECT_EQ(ParsePartEdges("1 99999999999").error, "The right edge \"99999999999\" is out of range.");

    std::string many;
    for (int i = 0; i < 257; ++i) many += "5 ";
    EXPECT_EQ(ParsePartEdges(many).error, "A status bar has at most 256 parts; 257 right edges were given.");
    many.resize(many.size() - 2);
    EXPECT_EQ(ParsePartEdges(many).edges.size(), 256u);
}

TEST(ControlTexts, AddressFieldsCarryAndWrap) {
    EXPECT_EQ(ParseAddress("10.0.0.1"), 0x0A000001u);
    EXPECT_EQ(ParseAddress("1.256.0.7"), 0x02000007u);
    EXPECT_EQ(ParseAddress("999.999.999.999"), ((999u * 256 + 999) * 256 + 999) * 256 + 999);
    EXPECT_EQ(ParseAddress(".1.2.3"), 0x00020003u) << "a leading dot is a character of field 1, which reads as 0";
}

// A wrong piece is shown whole up to 40 characters; only a longer one is cut
// and marked with "...".
TEST(ControlTexts, WrongPieceIsCutOnlyPastFortyCharacters) {
    const auto message = [](const std::string& piece) { return ParsePartEdges("10 " + piece + " -1").error; };
    EXPECT_EQ(message(std::string(40, 'y')), "The right edge \"" + std::string(40, 'y') + "\" is not a number.");
    EXPECT_EQ(message(std::string(41, 'y')), "The right edge \"" + std::string(40, 'y') + "...\" is not a number.");
    EXPECT_EQ(message(std::string(39, 'y')), "The right edge \"" + std::string(39, 'y') + "\" is not a number.");
}
