#include "mask/core/mask.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace vantor::mask;

namespace {

// ebMaskClean as a script calls it: the mode as the script's integer.
std::string Clean(std::string_view mask, std::string_view text, std::int32_t mode) {
    return CleanMaskedText(mask, text, ReadCleanMode(mode));
}

// An edit control as the engine sees it, with a user typing into it and the
// script calling ebMask after every change.
struct TypedControl {
    TypedControl(std::string m, bool n, MaskEngineState* s) : mask(std::move(m)), numeric(n), state(s) {}

    std::string mask;
    bool numeric;
    MaskEngineState* state;
    std::string text;
    std::size_t caret = 0;
    std::string lastResult;
    bool lastWrote = false;

    void change() {
        const ApplyResult r = ApplyMask({mask, text, caret, state->rememberedLength, numeric});
        state->rememberedLength = r.rememberedLength;
        lastResult = r.text;
        lastWrote = r.write;
        if (r.write) {
            text = r.text;
            caret = r.caret;
        }
    }
    void type(char c) {
        text.insert(caret, 1, c);
        ++caret;
        change();
    }
    void backspace() {
        text.erase(--caret, 1);
        change();
    }
};

ApplyResult apply(std::string_view mask, std::string_view text, std::size_t caret, int remembered,
                  bool numeric = false) {
    return ApplyMask({mask, text, caret, remembered, numeric});
}

}  // namespace

TEST(Classify, MaskCharacters) {
    const std::string mask = "(###) ###-####";
    int placeholders = 0, separators = 0, literals = 0;
    for (const char m : mask) {
        const CharClass c = ClassifyMaskChar(m);
        placeholders += IsPlaceholder(c);
        separators += IsSeparator(c);
        literals += c == CharClass::Other;
    }
    EXPECT_EQ(placeholders, 10);
    EXPECT_EQ(separators, 1);
    EXPECT_EQ(literals, 3);

    EXPECT_EQ(ClassifyMaskChar('A'), CharClass::Alpha);
    EXPECT_EQ(ClassifyMaskChar('a'), CharClass::Other);
    EXPECT_EQ(ClassifyMaskChar('U'), CharClass::Upper);
    EXPECT_EQ(ClassifyMaskChar('u'), CharClass::Other);
    EXPECT_EQ(ClassifyMaskChar('l'), CharClass::Other);
    EXPECT_EQ(ClassifyMaskChar(','), CharClass::Comma);
    EXPECT_EQ(static_cast<int>(ClassifyMaskChar('.')), 14);
    EXPECT_EQ(static_cast<int>(ClassifyMaskChar('-')), 12);
    EXPECT_EQ(static_cast<int>(ClassifyMaskChar('x')), 11);
    EXPECT_EQ(static_cast<int>(ClassifyMaskChar('&')), 9);
    EXPECT_EQ(ClassifyMaskChar('\xE9'), CharClass::Other);
}

TEST(Classify, TextCharactersUseAsciiOnly) {
    EXPECT_EQ(ClassifyTextChar('.'), CharClass::Period);
    EXPECT_EQ(ClassifyTextChar('/'), CharClass::Slash);
    EXPECT_EQ(ClassifyTextChar('7'), CharClass::Digit);
    EXPECT_EQ(ClassifyTextChar('Q'), CharClass::Upper);
    EXPECT_EQ(ClassifyTextChar('q'), CharClass::Lower);
    EXPECT_EQ(ClassifyTextChar(' '), CharClass::Other);
    EXPECT_EQ(ClassifyTextChar('#'), CharClass::Other);
    for (int b = 0x80; b <= 0xFF; ++b) EXPECT_EQ(ClassifyTextChar(static_cast<char>(b)), CharClass::Other) << b;
}

TEST(FitToMask, RulesAndCaseConversion) {
    struct Row {
        char mask;
        std::string expected;
    };  // for "5Xx/ \xE9", '_' = rejected
    const std::string input = "5Xx/ \xE9";
    const std::vector<Row> rows = {
        {'#', "5_____"}, {'A', "_Xx___"},    {'?', "5Xx___"},    {'U', "_XX___"},
        {'L', "_xx___"}, {'&', "5Xx/ \xE9"}, {'-', "5Xx/ \xE9"}, {'a', "5Xx/ \xE9"},
    };
    for (const Row& row : rows) {
        std::string got;
        for (const char c : input) {
            const auto fitted = FitToMask(c, ClassifyTextChar(c), ClassifyMaskChar(row.mask));
            got += fitted ? *fitted : '_';
        }
        EXPECT_EQ(got, row.expected) << "mask " << row.mask;
    }
}

TEST(TrimRight, TrailingWhiteSpaceOnly) {
    EXPECT_EQ(TrimRight("12/ \t"), "12/");
    EXPECT_EQ(TrimRight(" "), "");
    EXPECT_EQ(TrimRight(""), "");
    EXPECT_EQ(TrimRight(" 1 2"), " 1 2");
    EXPECT_EQ(TrimRight("a\n\r\f\v\t "), "a");
    EXPECT_EQ(TrimRight("a\xA0"), "a\xA0");
}

TEST(ApplyMask, TypingADateAtTheEnd) {
    MaskEngineState state;
    TypedControl box{"##/##/####", false, &state};
    struct Step {
        char key;
        std::string text;
        std::size_t caret;
        int remembered;
        bool wrote;
    };
    const std::vector<Step> steps = {
        {'1', "1", 1, 1, true},       {'2', "12/", 3, 3, true},     {'3', "12/3", 4, 4, true},
        {'4', "12/34/", 6, 6, true},  {'\b', "12/34", 5, 5, false}, {'x', "12/34/", 6, 6, true},
        {'5', "12/34/5", 7, 7, true},
    };
    for (const Step& s : steps) {
        if (s.key == '\b') box.backspace();
        else box.type(s.key);
        EXPECT_EQ(box.text, s.text) << "after " << s.key;
        EXPECT_EQ(box.lastResult, s.text);
        EXPECT_EQ(box.caret, s.caret) << "after " << s.key;
        EXPECT_EQ(state.rememberedLength, s.remembered) << "after " << s.key;
        EXPECT_EQ(box.lastWrote, s.wrote);
    }
}

TEST(ApplyMask, TextModeEdgeCases) {
    // empty text: nothing written, remembered length kept
    ApplyResult r = apply("##/##", "", 0, 7);
    EXPECT_FALSE(r.write);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.rememberedLength, 7);

    // empty mask: the control is emptied
    r = apply("", "abc", 3, 0);
    EXPECT_TRUE(r.write);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.rememberedLength, 0);

    // a rejected character disappears, the fixed characters after it come at once
    r = apply("##/##", "1x", 2, 1);
    EXPECT_EQ(r.text, "1/");
    EXPECT_EQ(r.caret, 2u);

    // a lone character at a fixed position follows the mask's character
    r = apply("(###)", "9xyz", 1, 4);
    EXPECT_EQ(r.text, "(9");
    r = apply("(###)", "(x", 1, 1);
    EXPECT_TRUE(r.write);
    EXPECT_EQ(r.text, "(");

    // after the first character the caret goes past the fixed characters appended
    r = apply("#/#", "5", 1, 0);
    EXPECT_EQ(r.text, "5/");
    EXPECT_EQ(r.caret, 2u);
    EXPECT_EQ(r.rememberedLength, 2);

    // typing the first character where the mask starts with a literal
    r = apply("(###) ###-####", "9", 1, 0);
    EXPECT_EQ(r.text, "(9");
    EXPECT_EQ(r.caret, 2u);

    // upper- and lower-case placeholders convert
    r = apply("UUL", "abC", 3, 2);
    EXPECT_EQ(r.text, "ABc");
}

TEST(ApplyMask, BackspaceOverASeparatorThenTypingIt) {
    MaskEngineState state;
    TypedControl box{"##/##", false, &state};
    box.type('1');
    box.type('2');
    ASSERT_EQ(box.text, "12/");
    box.backspace();
    EXPECT_EQ(box.text, "12");
    EXPECT_FALSE(box.lastWrote);
    box.type('/');
    EXPECT_EQ(box.text, "12/");
    EXPECT_EQ(state.rememberedLength, 3);
}

TEST(ApplyMask, TypingInTheMiddleCutsAtTheCaret) {
    MaskEngineState state;
    TypedControl box{"##/##/####", false, &state};
    for (const char c : std::string("123456")) box.type(c);
    ASSERT_EQ(box.text, "12/34/56");
    box.caret = 3;
    box.type('9');
    EXPECT_EQ(box.text, "12/9");
    EXPECT_EQ(box.caret, 4u);
    EXPECT_EQ(state.rememberedLength, 4);
}

TEST(ApplyMask, EmptiedControlLetsTheFirstCharacterThroughUnexamined) {
    MaskEngineState state;
    TypedControl box{"##/##", false, &state};
    box.type('1');
    box.type('2');
    ASSERT_EQ(state.rememberedLength, 3);
    box.text.clear();  // select all, Delete
    box.caret = 0;
    box.change();
    EXPECT_EQ(state.rememberedLength, 3);
    box.type('x');
    EXPECT_EQ(box.text, "x");
    EXPECT_FALSE(box.lastWrote);
    EXPECT_EQ(state.rememberedLength, 1);
    box.change();  // the next call examines it
    EXPECT_EQ(box.text, "");
}

TEST(ApplyMask, OneRememberedLengthForTwoControls) {
    MaskEngineState state;
    TypedControl date{"##/##", false, &state};
    TypedControl code{"###", false, &state};
    date.type('1');
    date.type('2');
    date.type('3');
    ASSERT_EQ(date.text, "12/3");
    ASSERT_EQ(state.rememberedLength, 4);
    // the first character typed into the other control: its text is shorter
    // than the date's length, so it is taken for a deletion, unexamined
    code.text = "7";
    code.caret = 1;
    code.change();
    EXPECT_FALSE(code.lastWrote);
    EXPECT_EQ(state.rememberedLength, 1);
}

TEST(ApplyMask, NumericMode) {
    struct Row {
        std::string mask, text, expected;
    };
    const std::vector<Row> rows = {
        {"###,###.##", "1234", "12.34"},
        {"#,###", "1234", "1,234"},
        {"##-##", "1234", "134"},
        {"###.##", "abc", ""},
        {"###.##", "1a2.3", "1.23"},
        // more digits than the mask places: the leading ones are dropped
        {"#,###", "123456", "3,456"},
        {"##", "987654321", "21"},
        // a separator at the mask's start still takes its digit on its left
        {",##", "123", "1,23"},
        {".#", "45", "4.5"},
        {".#", "345", "4.5"},
        {"", "123", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatNumeric(row.mask, row.text), row.expected) << row.mask << " " << row.text;
        // set into the control at once, caret at the end; a remembered length
        // equal to the text's keeps growth and deletion out of the way
        const int remembered = static_cast<int>(row.text.size());
        const ApplyResult r = apply(row.mask, row.text, row.text.size(), remembered, true);
        EXPECT_TRUE(r.write);
        EXPECT_EQ(r.text, row.expected) << row.mask << " " << row.text;
        EXPECT_EQ(r.caret, row.expected.size());
        EXPECT_EQ(r.rememberedLength, remembered);
    }
}

TEST(ApplyMask, NumericTypingKeepsRememberedLength) {
    MaskEngineState state;
    state.rememberedLength = 0;
    TypedControl amount{"#,###", true, &state};
    for (const char c : std::string("1234")) amount.type(c);
    EXPECT_EQ(amount.text, "1,234");
    EXPECT_EQ(amount.caret, 5u);
    EXPECT_EQ(state.rememberedLength, 0);
}

TEST(ApplyMask, LongTextsAndOddCarets) {
    const std::string big(100000, '7');
    // caret as a 16-bit index wraps: the text is cut there, the mask bounds the result
    ApplyResult r = apply("##/##", big, 100000 & 0xFFFF, 0);
    EXPECT_EQ(r.text, "77/77");
    r = apply(std::string(600, '#'), big, 65535, 0);
    EXPECT_EQ(r.text, std::string(600, '7'));
    r = apply("#,###", big, 65535, 0, true);
    EXPECT_EQ(r.text, "7,777");
    // a caret past the end acts as one at the end
    r = apply("##/##", "12", 1u << 30, 0);
    EXPECT_EQ(r.text, "12/");
    EXPECT_LE(r.caret, r.text.size());
    // high bytes in mask and text
    r = apply("\xE9##&",
              "\xE9"
              "1\xFF\xFE",
              4, 0);
    EXPECT_EQ(r.text,
              "\xE9"
              "1\xFE");
}

TEST(CleanMaskedText, Modes) {
    const std::string mask = "$##.## (A)";
    const std::string text = "$12.50 (x)";
    EXPECT_EQ(Clean(mask, text, 0), "$12.50 (x)");
    EXPECT_EQ(Clean(mask, text, 1), "12.50");
    EXPECT_EQ(Clean(mask, text, 2), "1250x");
    EXPECT_EQ(Clean(mask, text, 3), "$1250 (x)");
    EXPECT_EQ(Clean(mask, text, 4), "12.50x");
    EXPECT_EQ(Clean(mask, text, 7), "");
    EXPECT_EQ(Clean(mask, text, -1), "");
    EXPECT_EQ(Clean(mask, text, 5), "");
}

TEST(CleanMaskedText, EveryIntegerReadsAsOneMode) {
    EXPECT_EQ(ReadCleanMode(0), CleanMode::Whole);
    EXPECT_EQ(ReadCleanMode(1), CleanMode::DigitsAndPoints);
    EXPECT_EQ(ReadCleanMode(2), CleanMode::Placeholders);
    EXPECT_EQ(ReadCleanMode(3), CleanMode::NoSeparators);
    EXPECT_EQ(ReadCleanMode(4), CleanMode::PlaceholdersAndSeparators);
    for (const std::int32_t other : {5, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(ReadCleanMode(other), CleanMode::Nothing) << other;
    }
    EXPECT_EQ(CleanMaskedText("##", "12", CleanMode::Nothing), "");
}

TEST(CleanMaskedText, EdgeCases) {
    EXPECT_EQ(Clean("&&&&&", "ab  ", 0), "ab  ");
    EXPECT_EQ(Clean("&&&&&", "ab  ", 3), "ab");
    EXPECT_EQ(Clean("", "abc", 0), "abc");
    for (int mode = 1; mode <= 4; ++mode) EXPECT_EQ(Clean("", "abc", mode), "");
    EXPECT_EQ(Clean("##", "12345", 2), "12");
    EXPECT_EQ(Clean("##x##", "12/34", 4), "12/34");
    EXPECT_EQ(Clean("##x##", "12/34", 2), "1234");
    EXPECT_EQ(Clean("#,###.#", "1,234.5", 1), "1234.5");
    // mask positions past the end of the text contribute nothing, in mode 3 too
    EXPECT_EQ(Clean("$##.## (A)", "$12", 3), "$12");
    EXPECT_EQ(Clean("##/##/####", "12/34/", 3), "1234");
    const std::string big(100000, 'z');
    EXPECT_EQ(Clean("&&&", big, 3), "zzz");
    EXPECT_EQ(Clean("&&&", big, 0).size(), big.size());
}

// A caret the control reports past the text (it does so without the focus)
// ends at the end of what the call makes, as the control would put it.
TEST(ApplyMask, CaretPastTheTextEndsAtTheEndOfTheNewText) {
    const ApplyResult r = ApplyMask({"##//", "12", 65535, 0, false});
    EXPECT_TRUE(r.write);
    EXPECT_EQ(r.text, "12//");
    EXPECT_EQ(r.caret, 4u);
}

// A deletion that the control reports with its caret past the text: the text
// is laid into the mask again and the caret ends at the end of the new text.
TEST(ApplyMask, DeletionWithTheCaretPastTheText) {
    const ApplyResult r = ApplyMask({"##/##", "1x", 9, 3, false});
    EXPECT_TRUE(r.write);
    EXPECT_EQ(r.text, "1/");
    EXPECT_EQ(r.caret, 2u);
    EXPECT_EQ(r.rememberedLength, 2);
}

// Typed key by key at the end, every key stays, whatever the number of
// placeholders in front of the mask's first fixed character; the caret ends
// at the end of the text after each key.
TEST(ApplyMask, NoKeyTypedAtTheEndIsLost) {
    struct Row {
        std::string mask, keys;
        std::vector<std::string> texts;
    };
    const std::vector<Row> rows = {
        {"#/#", "12", {"1/", "1/2"}},
        {"#.##", "125", {"1.", "1.2", "1.25"}},
        {"U-###", "b123", {"B-", "B-1", "B-12", "B-123"}},
        {"#//#", "12", {"1//", "1//2"}},
        {"##/##/####", "1234", {"1", "12/", "12/3", "12/34/"}},
        {"(###) ###", "5551", {"(5", "(55", "(555)", "(555) 1"}},  // the blank trimmed, then put back
        {"&-&", "a b", {"a-", "a-b"}},                             // the blank is typed, then trimmed away
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask);
        MaskEngineState state;
        TypedControl box{row.mask, false, &state};
        std::size_t step = 0;
        for (const char key : row.keys) {
            box.type(key);
            if (key == ' ') continue;
            ASSERT_LT(step, row.texts.size());
            EXPECT_EQ(box.text, row.texts[step]) << "after " << key;
            EXPECT_EQ(box.caret, box.text.size()) << "after " << key;
            ++step;
        }
        EXPECT_EQ(step, row.texts.size());
    }
}

// The caret after the first character: past what the walk appends, at the
// text's end when nothing is appended or the character does not fit, and
// past a leading literal put in front of it.
TEST(ApplyMask, CaretAfterTheFirstCharacter) {
    struct Row {
        std::string mask, text;
        std::size_t caret;
        std::string expected;
        std::size_t expectedCaret;
    };
    const std::vector<Row> rows = {
        {"#/#", "7", 1, "7/", 2},   {"#:-#", "7", 1, "7:-", 3},
        {"##/##", "7", 1, "7", 1},  {"#/#", "x", 1, "/", 1},  // a rejected key leaves the fixed character only
        {"(###)", "9", 1, "(9", 2}, {"#/#", "7", 0, "", 0},   // a caret in front of the character cuts it
        {"#", "7", 1, "7", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask + " " + row.text);
        const ApplyResult r = apply(row.mask, row.text, row.caret, 0);
        EXPECT_TRUE(r.write);
        EXPECT_EQ(r.text, row.expected);
        EXPECT_EQ(r.caret, row.expectedCaret);
        EXPECT_EQ(r.rememberedLength, static_cast<int>(row.expected.size()));
    }
}

// Where the caret ends when the text is laid into the mask again: after
// each fixed character the walk puts in, past fixed characters appended at
// the end, and never past a character that was not taken.
TEST(ApplyMask, CaretAfterFixedCharactersTheWalkPutsIn) {
    // a lone character at a fixed position: the caret follows it, after "(9"
    ApplyResult r = apply("(###)", "9xyz", 1, 4);
    EXPECT_EQ(r.text, "(9");
    EXPECT_EQ(r.caret, 2u);
    EXPECT_EQ(r.rememberedLength, 2);

    // a same-length edit at the end: the fixed characters put back come
    // before the caret
    r = apply("##//", "13", 2, 2);
    EXPECT_EQ(r.text, "13//");
    EXPECT_EQ(r.caret, 4u);
    EXPECT_EQ(r.rememberedLength, 4);

    // the selected "/" of "12/" replaced by a 3: the text is no longer than
    // before, so no fixed character is put before the 3; the walk sets the
    // mask's "/" where the 3 stood
    r = apply("##/##", "123", 3, 3);
    EXPECT_EQ(r.text, "12/");
    EXPECT_EQ(r.caret, 3u);
    EXPECT_EQ(r.rememberedLength, 3);
}
