#include "demo/picture.h"

#include "host/owners.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vantor::demo {

namespace {

// One reference to a COM object, released when it goes.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_ != nullptr) p_->Release();
    }
    T** out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

using MemoryDC = UniqueResource<HDC, &DeleteDC>;

// A top-down 24-bit section for drawing or copying into.
struct Section {
    UniqueBitmap bitmap;
    void* bits = nullptr;

    Section(HDC reference, int width, int height) {
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = width;
        info.biHeight = -height;  // rows from the top
        info.biPlanes = 1;
        info.biBitCount = 24;
        info.biCompression = BI_RGB;
        bitmap.reset(
            CreateDIBSection(reference, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    }
};

bool MakeFactory(ComRef<IWICImagingFactory>& factory) {
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.out())));
}

// The path as the codecs take it; empty when it cannot be converted.
std::wstring Wide(const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return wide;
}

}  // namespace

Picture::Picture(int width, int height, COLORREF background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      stride_((width_ * 3 + 3) & ~3),
      bits_(static_cast<std::size_t>(stride_) * height_) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint8_t* p = &bits_[static_cast<std::size_t>(y) * stride_ + x * 3];
            p[0] = GetBValue(background);
            p[1] = GetGValue(background);
            p[2] = GetRValue(background);
        }
}

COLORREF Picture::At(int x, int y) const {
    const std::uint8_t* p = &bits_[static_cast<std::size_t>(y) * stride_ + x * 3];
    return RGB(p[2], p[1], p[0]);
}

void Picture::Set(int x, int y, COLORREF colour) {
    std::uint8_t* p = &bits_[static_cast<std::size_t>(y) * stride_ + x * 3];
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

Picture Picture::OfScreen(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    Picture picture(frame.right - frame.left, frame.bottom - frame.top);
    const WindowDC screen(nullptr);
    Section section(screen.dc(), picture.width_, picture.height_);
    const MemoryDC memory(CreateCompatibleDC(screen.dc()));
    if (!section.bitmap || !memory) return picture;
    const HGDIOBJ previous = SelectObject(memory.get(), section.bitmap.get());
    BitBlt(memory.get(), 0, 0, picture.width_, picture.height_, screen.dc(), frame.left, frame.top, SRCCOPY);
    SelectObject(memory.get(), previous);
    GdiFlush();
    std::memcpy(picture.bits_.data(), section.bits, picture.bits_.size());
    return picture;
}

Picture Picture::Drawn(int width, int height, const std::function<void(HDC)>& draw) {
    Picture picture(width, height);
    const WindowDC screen(nullptr);
    Section section(screen.dc(), width, height);
    const MemoryDC memory(CreateCompatibleDC(screen.dc()));
    if (!section.bitmap || !memory) return picture;
    std::memcpy(section.bits, picture.bits_.data(), picture.bits_.size());
    const HGDIOBJ previous = SelectObject(memory.get(), section.bitmap.get());
    draw(memory.get());
    SelectObject(memory.get(), previous);
    GdiFlush();
    std::memcpy(picture.bits_.data(), section.bits, picture.bits_.size());
    return picture;
}

Picture Picture::Crop(const std::vector<RECT>& pieces) const {
    constexpr int kGap = 8;
    const RECT bounds{0, 0, width_, height_};
    std::vector<RECT> cut;
    int width = 0, height = 0;
    for (const RECT& piece : pieces) {
        RECT r{};
        if (!IntersectRect(&r, &piece, &bounds)) continue;
        cut.push_back(r);
        width = std::max<int>(width, r.right - r.left);
        height += (height > 0 ? kGap : 0) + (r.bottom - r.top);
    }
    Picture out(width, height, GetSysColor(COLOR_BTNFACE));
    int top = 0;
    for (const RECT& r : cut) {
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(&out.bits_[static_cast<std::size_t>(top + y - r.top) * out.stride_],
                        &bits_[static_cast<std::size_t>(y) * stride_ + r.left * 3],
                        static_cast<std::size_t>(r.right - r.left) * 3);
        top += (r.bottom - r.top) + kGap;
    }
    return out;
}

Picture Picture::FromFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    const bool opened =
        !wide.empty() && MakeFactory(factory) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, decoder.out())) &&
        SUCCEEDED(decoder->GetFrame(0, frame.out())) && SUCCEEDED(factory->CreateFormatConverter(converter.out())) &&
        SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0 && width <= 16384 && height <= 16384;
    if (!opened) return Picture(0, 0);
    Picture picture(static_cast<int>(width), static_cast<int>(height));
    if (FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(picture.stride_),
                                     static_cast<UINT>(picture.bits_.size()), picture.bits_.data())))
        return Picture(0, 0);
    return picture;
}

bool Picture::SavePng(const std::string& path) const {
    if (width_ == 0 || height_ == 0) return false;
    const std::wstring wide = Wide(path);
    if (wide.empty()) return false;

    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const bool ok = MakeFactory(factory) && SUCCEEDED(factory->CreateStream(stream.out())) &&
                    SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)) &&
                    SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) &&
                    SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
                    SUCCEEDED(encoder->CreateNewFrame(frame.out(), options.out())) &&
                    SUCCEEDED(frame->Initialize(options.get())) &&
                    SUCCEEDED(frame->SetSize(static_cast<UINT>(width_), static_cast<UINT>(height_))) &&
                    SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
                    SUCCEEDED(frame->WritePixels(static_cast<UINT>(height_), static_cast<UINT>(stride_),
                                                 static_cast<UINT>(bits_.size()), const_cast<BYTE*>(bits_.data()))) &&
                    SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    return ok;
}

std::string Picture::BottomUpRows() const {
    std::string rows;
    rows.reserve(bits_.size());
    for (int y = height_ - 1; y >= 0; --y)
        rows.append(reinterpret_cast<const char*>(&bits_[static_cast<std::size_t>(y) * stride_]),
                    static_cast<std::size_t>(stride_));
    return rows;
}

std::string BitmapFile(const Picture& picture) {
    const std::string rows = picture.BottomUpRows();
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
    info.biSize = sizeof info;
    info.biWidth = picture.width();
    info.biHeight = picture.height();
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    return bytes + rows;
}

std::string IconFile(int size, COLORREF colour) {
    const auto u16 = [](std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    const auto u32 = [](std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    const int maskStride = ((size + 31) / 32) * 4;
    const auto imageBytes = static_cast<std::uint32_t>(40 + size * size * 4 + maskStride * size);
    std::string file;
    for (std::uint16_t v : {0, 1, 1}) u16(file, v);  // an icon file of one image
    file += static_cast<char>(size);
    file += static_cast<char>(size);
    file += '\0';  // no palette
    file += '\0';
    u16(file, 1);   // planes
    u16(file, 32);  // bits per pixel
    u32(file, imageBytes);
    u32(file, 22);  // the image follows the directory
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = size;
    info.biHeight = size * 2;  // the colours and the mask
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    file.append(reinterpret_cast<const char*>(&info), sizeof info);

    const double centre = (size - 1) / 2.0, radius = size / 2.0 - 0.5;
    std::string mask;
    for (int y = size - 1; y >= 0; --y) {  // rows from the bottom
        std::string maskRow(static_cast<std::size_t>(maskStride), '\0');
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre, dy = y - centre;
            const bool inside = dx * dx + dy * dy <= radius * radius;
            // The "i": a dot and a stem in the middle column pair.
            const bool letter = std::abs(dx) < 1.0 &&
                                ((y >= size / 4 && y < size / 4 + 2) || (y >= size / 4 + 3 && y < size - size / 4));
            const COLORREF c = letter ? RGB(255, 255, 255) : colour;
            file += static_cast<char>(GetBValue(c));
            file += static_cast<char>(GetGValue(c));
            file += static_cast<char>(GetRValue(c));
            file += static_cast<char>(inside ? 255 : 0);
            if (!inside) maskRow[x / 8] = static_cast<char>(maskRow[x / 8] | (0x80 >> (x % 8)));
        }
        mask += maskRow;
    }
    return file + mask;
}

std::string HostPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    const std::string windows = n > 0 && n < MAX_PATH ? full : path;
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return windows;
    std::wstring wide(windows.size() + 1, L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, windows.c_str(), -1, wide.data(), static_cast<int>(wide.size())) == 0)
        return windows;
    char* name = unixName(wide.c_str());
    if (name == nullptr) return windows;
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

}  // namespace vantor::demo
