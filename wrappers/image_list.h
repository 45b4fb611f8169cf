// An image list: no window, a handle the platform's ImageList_ functions
// take. ImageList holds the handle and never owns it: whoever made the list
// (a script, with ilCreateImgList) decides when it goes. One thin member per
// platform call; a handle that names no image list is handed on as it is
// (the platform checks it and answers as for an empty list).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class ImageList {
public:
    ImageList() = default;
    explicit ImageList(HIMAGELIST handle) : handle_(handle) {}

    // A list of images width by height pixels in the colours of flags
    // (ILC_COLOR16, ...), room for initial images, growing by grow; null
    // when the platform refuses it. The caller owns what it gets.
    static ImageList Create(int width, int height, UINT flags, int initial, int grow) {
        return ImageList(ImageList_Create(width, height, flags, initial, grow));
    }

    HIMAGELIST handle() const { return handle_; }
    operator HIMAGELIST() const { return handle_; }

    // The images of a bitmap (several when it is wider than the list's
    // images) with their mask (null: none); the index of the first, or -1.
    int Add(HBITMAP image, HBITMAP mask) const { return ImageList_Add(handle_, image, mask); }
    int GetImageCount() const { return ImageList_GetImageCount(handle_); }
    // The image at index (-1: every image).
    bool Remove(int index) const { return ImageList_Remove(handle_, index) != FALSE; }
    // Frees the list: the handle names nothing after.
    bool Destroy() const { return ImageList_Destroy(handle_) != FALSE; }

private:
    HIMAGELIST handle_ = nullptr;
};

}  // namespace vantor
