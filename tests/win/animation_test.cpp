// Animation controls on real windows, with small AVI clips the test writes.
#include "tests/host/dialog_test.h"
#include "tests/host/message_recorder.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

using Animations = DialogTest;

// A small clip whose frames are uniform greys, one shade per frame.
std::string SmallAvi(std::uint32_t width, std::uint32_t height, std::uint32_t frames) {
    std::vector<std::string> pictures;
    const std::size_t frameBytes = std::size_t{(width * 3 + 3) & ~3u} * height;
    for (std::uint32_t f = 0; f < frames; ++f) pictures.emplace_back(frameBytes, static_cast<char>(40 * f));
    return AviFileBytes(width, height, pictures);
}

TEST_F(Animations, AnimationStaysHiddenUntilAClipIsOpenedThenPlays) {
    const HWND clip = Handle(host.Call("anCreateAVI", {dialog.hwnd(), 30, 40, 100, 80, 0}));
    ASSERT_TRUE(IsWindow(clip));
    char name[64] = {};
    GetClassNameA(clip, name, sizeof name);
    EXPECT_STREQ(name, "SysAnimate32");
    EXPECT_EQ(GetDlgCtrlID(clip), 2222);
    EXPECT_FALSE(IsWindowVisible(clip));
    RECT place = PlaceInDialog(clip);
    EXPECT_EQ(place.left, 30);
    EXPECT_EQ(place.top, 40);
    EXPECT_EQ(place.right - place.left, 100);
    EXPECT_EQ(place.bottom - place.top, 80);

    EXPECT_EQ(host.Call("anPlayAVI", {clip, 0, -1, -1}).integer(), 1);
    DialogFixture::Pump();
    EXPECT_FALSE(IsWindowVisible(clip)) << "playing without a clip shows nothing";

    EXPECT_EQ(host.Call("anOpenAVI", {clip, "no such clip.avi"}).integer(), 0);
    EXPECT_TRUE(IsWindowVisible(clip)) << "shown whether or not the clip opened";
    ShowWindow(clip, SW_HIDE);

    TempFile file(".avi");
    file.Write(SmallAvi(16, 12, 4));
    EXPECT_EQ(host.Call("anOpenAVI", {clip, file.path()}).integer(), 0);
    EXPECT_TRUE(IsWindowVisible(clip));
    place = PlaceInDialog(clip);
    EXPECT_EQ(place.right - place.left, 16) << "the control takes the clip's size";
    EXPECT_EQ(place.bottom - place.top, 12);
    EXPECT_EQ(host.Call("anPlayAVI", {clip, 0, -1, -1}).integer(), 1);
    DialogFixture::Pump();
    Sleep(150);
    EXPECT_EQ(host.Call("anStopAVI", {clip}).integer(), 1);
    EXPECT_EQ(host.Call("anCloseAVI", {clip}).integer(), 1);
    EXPECT_FALSE(SendMessageA(clip, ACM_PLAY, 1, MAKELONG(0, 0))) << "no clip is open any more";
    EXPECT_EQ(host.Call("RemoveControl", {clip}).integer(), 1);
    EXPECT_FALSE(IsWindow(clip));
}

TEST_F(Animations, AnimationNoWindowEmptyAndLongTexts) {
    const HWND none = NoWindow();
    ASSERT_FALSE(IsWindow(none));
    const std::string& longText = LongText();
    for (const std::string& text : {std::string(), longText}) {
        for (const char* creator : {"anCreateAVI"})
            EXPECT_EQ(CallOnce(creator, {none, 0, 0, 10, 10, 0}).integer(), 0) << creator;
        EXPECT_EQ(CallOnce("anOpenAVI", {none, text}).integer(), 0);
        EXPECT_EQ(CallOnce("anPlayAVI", {none, 0, -1, 1}).integer(), 1);
        EXPECT_EQ(CallOnce("anStopAVI", {none}).integer(), 1);
        EXPECT_EQ(CallOnce("anCloseAVI", {none}).integer(), 1);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace

namespace {

// anPlayAVI hands the control its repeat count and the first and last frame
// (each 16 bits, -1 for the last frame of the clip).
TEST_F(Animations, PlayHandsTheControlItsFramesAndRepeats) {
    const HWND clip = Handle(host.Call("anCreateAVI", {dialog.hwnd(), 30, 40, 100, 80, 0}));
    ASSERT_TRUE(IsWindow(clip));
    TempFile file(".avi");
    file.Write(SmallAvi(16, 12, 8));
    host.Call("anOpenAVI", {clip, file.path()});
    const MessageRecorder plays(clip, ACM_PLAY);
    EXPECT_EQ(host.Call("anPlayAVI", {clip, 2, 7, 3}).integer(), 1);
    EXPECT_EQ(host.Call("anPlayAVI", {clip, 0, -1, -1}).integer(), 1);
    host.Call("anStopAVI", {clip});
    ASSERT_EQ(plays.seen().size(), 2u);
    EXPECT_EQ(plays.seen()[0], (std::pair<WPARAM, LPARAM>{3, MAKELPARAM(2, 7)}));
    EXPECT_EQ(plays.seen()[1], (std::pair<WPARAM, LPARAM>{static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)}));
}

}  // namespace
