// Pictures for the demo: what the screen shows of a window, pieces cut from
// it, small drawings for the files the script names, and PNG files written
// by the platform's image codecs (the Windows Imaging Component; under Wine,
// Wine's own, which encodes PNG with libpng).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantor::demo {

// A 24-bit picture, rows from the top, each padded to 4 bytes.
class Picture {
public:
    Picture(int width, int height, COLORREF background = RGB(255, 255, 255));

    // What the screen shows of the window's whole rectangle, including the
    // pop-up windows that lie over it.
    static Picture OfScreen(HWND window);
    // A picture drawn by draw on a white ground.
    static Picture Drawn(int width, int height, const std::function<void(HDC)>& draw);

    // The picture of a PNG file (or any file the codecs read); a picture
    // of 0 x 0 pixels when it cannot be read.
    static Picture FromFile(const std::string& path);

    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const;
    void Set(int x, int y, COLORREF colour);

    // The pieces (rectangles of this picture, cut to its bounds) one below
    // the other, on the dialog's colour.
    Picture Crop(const std::vector<RECT>& pieces) const;

    // The PNG file; false when it cannot be written.
    bool SavePng(const std::string& path) const;
    // The rows from the bottom, as a bitmap file or an AVI frame holds them.
    std::string BottomUpRows() const;

private:
    int width_, height_, stride_;
    std::vector<std::uint8_t> bits_;  // blue, green, red
};

// The bytes of a 24-bit bitmap file of the picture.
std::string BitmapFile(const Picture& picture);
// The bytes of an icon file: one size x size 32-bit image, a disc of the
// colour with a white "i".
std::string IconFile(int size, COLORREF colour);

// The path as the person at the machine knows it: under Wine, the Unix path
// of the file; elsewhere the path itself.
std::string HostPath(const std::string& path);

}  // namespace vantor::demo
