// Animation controls on real windows, with small AVI clips the test writes.
#include "tests/host/dialog_test.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

using Animations = DialogTest;

// A small uncompressed AVI: width x height, 24 bits, `frames` frames.
std::string SmallAvi(std::uint32_t width, std::uint32_t height, std::uint32_t frames) {
    auto u32 = [](std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    auto chunk = [&](const char* id, const std::string& body) {
        std::string c(id, 4);
        u32(c, static_cast<std::uint32_t>(body.size()));
        c += body;
        if (body.size() % 2 != 0) c += '\0';
        return c;
    };
    auto list = [&](const char* type, const std::string& body) {
        return chunk("LIST", std::string(type, 4) + body);
    };
    const std::uint32_t frameBytes = width * height * 3;

    std::string avih;
    for (std::uint32_t v : {100000u, frameBytes * 10, 0u, 0x10u /* has index */, frames, 0u, 1u,
                            frameBytes, width, height, 0u, 0u, 0u, 0u})
        u32(avih, v);
    std::string strh = "vidsDIB ";
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    for (std::uint32_t v : {0u, 1u, 10u, 0u, frames, frameBytes, 0xFFFFFFFFu, 0u}) u32(strh, v);
    for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(width), std::uint16_t(height)})
        u16(strh, v);
    std::string strf;
    for (std::uint32_t v : {40u, width, height}) u32(strf, v);
    u16(strf, 1);
    u16(strf, 24);
    for (std::uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u}) u32(strf, v);

    std::string movi, idx1;
    for (std::uint32_t f = 0; f < frames; ++f) {
        u32(idx1, 0x62643030);  // "00db"
        u32(idx1, 0x10);        // key frame
        u32(idx1, static_cast<std::uint32_t>(4 + movi.size()));
        u32(idx1, frameBytes);
        movi += chunk("00db", std::string(frameBytes, static_cast<char>(40 * f)));
    }
    const std::string body = list("hdrl", chunk("avih", avih) +
                                              list("strl", chunk("strh", strh) + chunk("strf", strf))) +
                             list("movi", movi) + chunk("idx1", idx1);
    std::string file = "RIFF";
    u32(file, static_cast<std::uint32_t>(4 + body.size()));
    return file + "AVI " + body;
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
    const HWND none = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x7654320));
    ASSERT_FALSE(IsWindow(none));
    const std::string longText(100 * 1024, '9');
    auto call = [this](const char* name, std::vector<Arg> args) {
        const CallResult r = host.Call(name, args);
        EXPECT_EQ(r.callbacks, 1) << name;
        EXPECT_EQ(r.status, 0) << name;
        return r;
    };
    for (const std::string& text : {std::string(), longText}) {
        for (const char* creator : {"anCreateAVI"})
            EXPECT_EQ(call(creator, {none, 0, 0, 10, 10, 0}).integer(), 0) << creator;
        EXPECT_EQ(call("anOpenAVI", {none, text}).integer(), 0);
        EXPECT_EQ(call("anPlayAVI", {none, 0, -1, 1}).integer(), 1);
        EXPECT_EQ(call("anStopAVI", {none}).integer(), 1);
        EXPECT_EQ(call("anCloseAVI", {none}).integer(), 1);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
