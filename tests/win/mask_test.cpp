// The edit-box functions on real EDIT controls that hold the keyboard focus,
// typed into with WM_CHAR as a user's keys would.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

// One loaded library and one dialog for the whole suite (a dialog takes
// seconds to go under Wine); each test gets fresh edit controls. The engine's
// remembered length lives as long as the library, so tests that depend on it
// set it first.
class EditBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host_ = std::make_unique<HostDouble>();
        dialog_ = std::make_unique<DialogFixture>();
    }
    static void TearDownTestSuite() {
        dialog_.reset();
        host_.reset();
    }

    void SetUp() override {
        edit = AddEdit(101, 10, 0);
        other = AddEdit(102, 50, 0);
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(other, nullptr);
        Focus(edit);
    }
    void TearDown() override {
        for (const HWND window : created) DestroyWindow(window);
    }

    HWND AddEdit(int id, int y, DWORD style) {
        const HWND window = dialog_->AddChild("EDIT", WS_BORDER | ES_AUTOHSCROLL | style, id, 10, y, 400,
                                              style & ES_MULTILINE ? 200 : 24);
        created.push_back(window);
        return window;
    }

    static void Focus(HWND window) {
        SetFocus(window);
        ASSERT_EQ(GetFocus(), window);
    }

    static std::string Text(HWND window) {
        std::string text(GetWindowTextLengthA(window) + 1, '\0');
        text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
        return text;
    }

    // The caret as the control reports it, after checking nothing is selected.
    static int Caret(HWND window) {
        DWORD start = 0, end = 0;
        SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, end) << "a selection is left";
        return static_cast<int>(end);
    }

    static void SetText(HWND window, const std::string& text, int caret) {
        SetWindowTextA(window, text.c_str());
        SendMessageA(window, EM_SETSEL, caret, caret);
    }

    static void Key(HWND window, char c) { SendMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1); }

    CallResult Mask(HWND window, const std::string& mask) { return host.Call("ebMask", {window, mask}); }
    CallResult Numeric(HWND window, const std::string& mask) { return host.Call("ebMask", {window, mask, 1}); }
    CallResult Clean(HWND window, const std::string& mask) { return host.Call("ebMaskClean", {window, mask}); }
    CallResult Clean(HWND window, const std::string& mask, int mode) {
        return host.Call("ebMaskClean", {window, mask, mode});
    }

    // A key typed into the focused control, then ebMask as a script calls it
    // on the change.
    CallResult TypeAndMask(HWND window, char c, const std::string& mask) {
        Key(window, c);
        return Mask(window, mask);
    }

    // Leaves the engine's remembered length at 0 whatever it was: a one-
    // character text with the caret before it is cut to nothing, so the empty
    // mask's walk writes the empty text, and its length is remembered.
    void ForgetLength(HWND window) {
        Focus(window);
        SetText(window, "x", 0);
        const CallResult r = Mask(window, "");
        ASSERT_EQ(r.status, 0);
        ASSERT_EQ(r.text, "");
        ASSERT_EQ(Text(window), "");
    }

    static void ExpectString(const CallResult& r, const std::string& expected) {
        EXPECT_EQ(r.callbacks, 1);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.cell.kind, 2);
        EXPECT_EQ(r.text, expected);
    }

    static inline std::unique_ptr<HostDouble> host_;
    static inline std::unique_ptr<DialogFixture> dialog_;
    HostDouble& host = *host_;
    std::vector<HWND> created;
    HWND edit = nullptr;
    HWND other = nullptr;
};

TEST_F(EditBox, TypingADateRowByRow) {
    ForgetLength(edit);
    const std::string mask = "##/##/####";
    struct Row {
        char key;
        const char* text;
        int caret;
    };
    const std::vector<Row> rows = {
        {'1', "1", 1},      {'2', "12/", 3},    {'3', "12/3", 4},
        {'4', "12/34/", 6}, {'\b', "12/34", 5},  // deletion at the end: accepted as it stands
        {'x', "12/34/", 6},                      // the "/" is put back, the x rejected
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key == '\b' ? std::string("Backspace") : std::string(1, row.key));
        const CallResult r = TypeAndMask(edit, row.key, mask);
        ExpectString(r, row.text);
        EXPECT_EQ(Text(edit), row.text);
        EXPECT_EQ(Caret(edit), row.caret);
    }
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 10);
}

TEST_F(EditBox, BackspaceLeavesTheControlUntouched) {
    ForgetLength(edit);
    for (const char c : std::string("1234")) TypeAndMask(edit, c, "##/##/####");
    ASSERT_EQ(Text(edit), "12/34/");
    Key(edit, '\b');
    SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    ExpectString(Mask(edit, "##/##/####"), "12/34");
    EXPECT_FALSE(SendMessageA(edit, EM_CANUNDO, 0, 0)) << "the control was written to";
    // a rewrite, by contrast, can be undone in one step
    ExpectString(TypeAndMask(edit, '5', "##/##/####"), "12/34/5");
    SendMessageA(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "12/345");
}

TEST_F(EditBox, NumericMasks) {
    struct Row {
        const char* mask;
        const char* text;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"###,###.##", "1234", "12.34"}, {"#,###", "1234", "1,234"}, {"##-##", "1234", "134"},
        {"#,###", "98761234", "1,234"},  // leading digits the mask cannot place are dropped
        {"###.##", "abc", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask);
        ForgetLength(edit);
        SetText(edit, row.text, static_cast<int>(std::string(row.text).size()));
        ExpectString(Numeric(edit, row.mask), row.expected);
        EXPECT_EQ(Text(edit), row.expected);
        EXPECT_EQ(Caret(edit), static_cast<int>(std::string(row.expected).size()));
    }
    // typed digit by digit
    ForgetLength(edit);
    for (const char c : std::string("1234")) {
        Key(edit, c);
        Numeric(edit, "#,###");
    }
    EXPECT_EQ(Text(edit), "1,234");
    EXPECT_EQ(Caret(edit), 5);
    // numeric mode leaves the remembered length at 0: a one-character text
    // is still taken for typing, not for a deletion
    SetText(edit, "9", 1);
    ExpectString(Mask(edit, "(###)"), "(9");
    // an explicit 0 selects text mode
    SetText(edit, "12", 2);
    ExpectString(host.Call("ebMask", {edit, "##/##", 0}), "12/");
}

TEST_F(EditBox, TextModeEdgeCases) {
    // empty text: empty result, the limit still follows the mask
    ForgetLength(edit);
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    ExpectString(Mask(edit, "##/##/####"), "");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 10);

    // a character that does not fit disappears, the fixed characters come at once
    ForgetLength(edit);
    TypeAndMask(edit, '1', "##/##");
    ExpectString(TypeAndMask(edit, 'x', "##/##"), "1/");
    EXPECT_EQ(Caret(edit), 2);

    // Backspace over "/", then typing "/" puts it back once
    ForgetLength(edit);
    TypeAndMask(edit, '1', "##/##");
    ExpectString(TypeAndMask(edit, '2', "##/##"), "12/");
    ExpectString(TypeAndMask(edit, '\b', "##/##"), "12");
    ExpectString(TypeAndMask(edit, '/', "##/##"), "12/");

    // after the first character the caret goes past the fixed characters appended
    ForgetLength(edit);
    ExpectString(TypeAndMask(edit, '5', "#/#"), "5/");
    EXPECT_EQ(Caret(edit), 2);

    // a leading literal is put in front of the first character typed
    ForgetLength(edit);
    ExpectString(TypeAndMask(edit, '9', "(###) ###-####"), "(9");
    EXPECT_EQ(Caret(edit), 2);

    // typing in the middle cuts the text at the caret
    ForgetLength(edit);
    for (const char c : std::string("123456")) TypeAndMask(edit, c, "##/##/####");
    ASSERT_EQ(Text(edit), "12/34/56");
    SendMessageA(edit, EM_SETSEL, 3, 3);
    ExpectString(TypeAndMask(edit, '9', "##/##/####"), "12/9");
    EXPECT_EQ(Caret(edit), 4);

    // case placeholders convert
    ForgetLength(edit);
    SetText(edit, "abC", 3);
    ExpectString(Mask(edit, "UUL"), "ABc");

    // the empty mask empties the control
    ForgetLength(edit);
    SetText(edit, "abc", 3);
    ExpectString(Mask(edit, ""), "");
    EXPECT_EQ(Text(edit), "");

    // bytes from 0x80 up are neither letters nor digits
    ForgetLength(edit);
    SetText(edit,
            "\xE9"
            "1\xFF\xE9",
            4);
    ExpectString(Mask(edit, "\xE9##&"),
                 "\xE9"
                 "1\xE9");
}

// Typed key by key at the end of the box, each key followed by ebMask as a
// change handler calls it: every key stays, the caret at the end of the text.
TEST_F(EditBox, NoKeyTypedAtTheEndIsLost) {
    struct Row {
        const char* mask;
        const char* keys;
        std::vector<const char*> texts;
    };
    const std::vector<Row> rows = {
        {"#/#", "12", {"1/", "1/2"}},
        {"#.##", "125", {"1.", "1.2", "1.25"}},
        {"U-###", "b123", {"B-", "B-1", "B-12", "B-123"}},
        {"##/##/####", "12342026", {"1", "12/", "12/3", "12/34/", "12/34/2", "12/34/20", "12/34/202", "12/34/2026"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask);
        ForgetLength(edit);
        for (std::size_t k = 0; row.keys[k] != '\0'; ++k) {
            SCOPED_TRACE(std::string("after ") + row.keys[k]);
            const std::string expected = row.texts.at(k);
            ExpectString(TypeAndMask(edit, row.keys[k], row.mask), expected);
            EXPECT_EQ(Text(edit), expected);
            EXPECT_EQ(Caret(edit), static_cast<int>(expected.size()));
        }
    }
}

// The box shows the text ebMask returns: a numeric mask that starts with "."
// gives one character more than it has, and the limit is raised to hold it.
TEST_F(EditBox, NumericBoxShowsTheWholeResult) {
    ForgetLength(edit);
    SetText(edit, "123", 3);
    ExpectString(Numeric(edit, ".##"), "1.23");
    EXPECT_EQ(Text(edit), "1.23");
    EXPECT_EQ(Caret(edit), 4);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 4);

    // typed key by key
    ForgetLength(edit);
    const std::vector<const char*> texts = {"1", "12", "1.23"};
    for (std::size_t k = 0; k < texts.size(); ++k) {
        Key(edit, "123"[k]);
        ExpectString(Numeric(edit, ".##"), texts[k]);
        EXPECT_EQ(Text(edit), texts[k]);
        EXPECT_EQ(Caret(edit), static_cast<int>(std::string(texts[k]).size()));
    }
    // a result no longer than the mask leaves the limit at the mask's length
    ForgetLength(edit);
    SetText(edit, "1234", 4);
    ExpectString(Numeric(edit, "#,###"), "1,234");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 5);
}

TEST_F(EditBox, EmptiedControlLetsTheNextCharacterThroughOnce) {
    ForgetLength(edit);
    TypeAndMask(edit, '1', "##/##");
    TypeAndMask(edit, '2', "##/##");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    ExpectString(Mask(edit, "##/##"), "");
    ExpectString(TypeAndMask(edit, 'x', "##/##"), "x");
    EXPECT_EQ(Text(edit), "x");
    ExpectString(Mask(edit, "##/##"), "");
}

TEST_F(EditBox, RememberedLengthIsSharedBetweenControls) {
    // with nothing remembered, a digit typed into the second control gets the
    // mask's leading literal
    ForgetLength(other);
    ExpectString(TypeAndMask(other, '9', "(###)"), "(9");

    // a date typed into the first control leaves its length behind; the
    // second control's one-character text is shorter, so it passes as a
    // deletion, unformatted
    ForgetLength(other);
    ForgetLength(edit);
    for (const char c : std::string("123")) TypeAndMask(edit, c, "##/##");
    ASSERT_EQ(Text(edit), "12/3");
    Focus(other);
    ExpectString(TypeAndMask(other, '9', "(###)"), "9");
    EXPECT_EQ(Text(other), "9");
}

TEST_F(EditBox, LongTextsAndLongMasks) {
    // 100 KB put in by WM_SETTEXT is read whole: mode 0 gives it all back.
    // (In lines: Wine's single-line EDIT takes half a minute over such a text.)
    const HWND lines = AddEdit(103, 90, ES_MULTILINE | ES_AUTOVSCROLL);
    std::string big;
    while (big.size() < 100000) big += std::string(98, '7') + "\r\n";
    const int size = static_cast<int>(big.size());
    SetText(lines, big, size);
    ASSERT_EQ(GetWindowTextLengthA(lines), size);
    ExpectString(Clean(lines, "&&&", 0), big);
    ExpectString(Clean(lines, "#,#", 2), "77");

    // ebMask reduces it to what the mask holds; the caret index wraps at 16 bits
    ForgetLength(lines);
    SetText(lines, big, size);
    ExpectString(Mask(lines, "##/##"), "77/77");
    EXPECT_EQ(Text(lines), "77/77");
    EXPECT_EQ(Caret(lines), 5);
    Focus(edit);

    // masks of 500 and more positions: texts past 499 characters stay whole
    const std::string longMask(600, '#');
    const std::string digits(550, '5');
    ForgetLength(edit);
    SetText(edit, digits, 550);
    ExpectString(Mask(edit, longMask), digits);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 600);
    ExpectString(TypeAndMask(edit, '6', longMask), digits + "6");
    ExpectString(Clean(edit, longMask, 2), digits + "6");

    // a formatted mask of 499 positions typed to its end stays whole, the
    // caret at its end (placeholders in blocks: Wine's EDIT puts its caret at
    // the start of a line of more than about 250 runs of letters, digits and
    // punctuation)
    std::string formatted;
    while (formatted.size() < 499) formatted += "(########) ########-########/";
    formatted.resize(499);
    std::string typed = formatted;
    for (char& c : typed) c = c == '#' ? '3' : c;
    ForgetLength(edit);
    SetText(edit, typed, 499);
    ExpectString(Mask(edit, formatted), typed);
    EXPECT_EQ(Text(edit), typed);
    EXPECT_EQ(Caret(edit), 499);
}

TEST_F(EditBox, CleanModes) {
    const std::string mask = "$##.## (A)";
    SetText(edit, "$12.50 (x)", 0);
    struct Row {
        int mode;
        const char* expected;
    };
    for (const Row& row : std::vector<Row>{
             {0, "$12.50 (x)"}, {1, "12.50"}, {2, "1250x"}, {3, "$1250 (x)"}, {4, "12.50x"}, {7, ""}, {-1, ""}}) {
        SCOPED_TRACE(row.mode);
        SendMessageA(edit, EM_SETSEL, 2, 5);
        ExpectString(Clean(edit, mask, row.mode), row.expected);
        EXPECT_EQ(Text(edit), "$12.50 (x)");
        Caret(edit);  // the selection is gone
    }
    ExpectString(Clean(edit, mask), "$12.50 (x)");

    // mode 0 keeps trailing blanks, the others trim; past the text nothing is added
    SetText(edit, "12  ", 0);
    ExpectString(Clean(edit, "&&&&&&", 0), "12  ");
    ExpectString(Clean(edit, "&&&&&&", 3), "12");
    SetText(edit, "$12", 0);
    ExpectString(Clean(edit, mask, 3), "$12");
    // separators typed at literal positions
    SetText(edit, "12/34", 0);
    ExpectString(Clean(edit, "##x##", 4), "12/34");
    ExpectString(Clean(edit, "##x##", 2), "1234");
    ExpectString(Clean(edit, "", 2), "");
    ExpectString(Clean(edit, "", 0), "12/34");
}

TEST_F(EditBox, ModifyFlagAndLengthLimit) {
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    EXPECT_EQ(host.Call("ebGetModify", {edit}).integer(), 0);
    Key(edit, 'a');
    const CallResult modified = host.Call("ebGetModify", {edit});
    EXPECT_EQ(modified.status, 0);
    EXPECT_NE(modified.integer(), 0);

    const CallResult set = host.Call("ebSetModify", {edit, 5});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.integer(), 5);
    EXPECT_NE(SendMessageA(edit, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(host.Call("ebSetModify", {edit, 0}).integer(), 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), 0);

    EXPECT_EQ(host.Call("ebSetLenLimit", {edit, 3}).status, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 3);
    for (const char c : std::string("bcd")) Key(edit, c);
    EXPECT_EQ(Text(edit), "abc");
    host.Call("ebSetLenLimit", {edit, 0});
    EXPECT_GT(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 30000);
    // ebMask sets the limit back to the mask's length
    Mask(edit, "&&&&");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 4);
}

TEST_F(EditBox, HandlesThatNameNoWindow) {
    SetText(edit, "keep", 4);
    for (const std::int32_t handle : {0, 0x12345, 0xFFFF, -1}) {
        SCOPED_TRACE(handle);
        ExpectString(host.Call("ebMask", {handle, "##/##"}), "");
        ExpectString(host.Call("ebMask", {handle, "##/##", 1}), "");
        ExpectString(host.Call("ebMaskClean", {handle, "##/##", 2}), "");
        ExpectString(host.Call("ebMaskClean", {handle, "##/##"}), "");
        EXPECT_EQ(host.Call("ebGetModify", {handle}).integer(), 0);
        EXPECT_EQ(host.Call("ebSetLenLimit", {handle, 7}).integer(), 0);
        const CallResult set = host.Call("ebSetModify", {handle, 9});
        EXPECT_EQ(set.status, 0);
        EXPECT_EQ(set.integer(), 9);
    }
    EXPECT_EQ(Text(edit), "keep");
}

}  // namespace
