// Pictures embedded in a rich-text box (im). The picture file is decoded
// by the platform's imaging component (BMP, PNG, JPEG, GIF, TIFF, ICO, as
// far as the platform has decoders), drawn at its display size into an
// enhanced metafile, and streamed into the box as an RTF picture at the
// caret: the form every rich-text box reads and writes back, so the picture
// survives saving and loading the box's RTF.

#include "wrappers/rich_edit.h"
#include "host/arguments.h"
#include "host/callback_guard.h"
#include "host/owners.h"
#include "host/vantor.h"
#include "host/wide_text.h"

#include <windows.h>
#include <richedit.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {
namespace {

using Microsoft::WRL::ComPtr;

constexpr std::int32_t kLargestSide = 4096;  // pixels, either side, as shown

// A decoded picture: premultiplied 32-bit BGRA rows, top row first.
struct Pixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<BYTE> bgra;
};

// The size the picture is shown at: the width asked for (else its own)
// with the height following the picture's shape, both scaled down to fit
// kLargestSide, never below one pixel.
SIZE DisplaySize(UINT width, UINT height, std::int32_t widthAsked) {
    double w = widthAsked > 0 ? widthAsked : width;
    double h = w * height / width;
    const double fit = std::min({1.0, kLargestSide / w, kLargestSide / h});
    w *= fit;
    h *= fit;
    return {std::max(1L, std::lround(w)), std::max(1L, std::lround(h))};
}

// Decodes the first frame of the file at the display size (scaled down by
// the decoder when that is smaller, so a large file never needs its full
// size in memory here). S_OK when decoded, else the first failure the
// imaging component reported (E_FAIL for a path that does not convert to
// UTF-16 or a picture without pixels).
HRESULT Decode(const char* path, std::int32_t widthAsked, Pixels& out, SIZE& display) {
    const std::wstring widePath = WideFromAnsi(path);
    if (widePath.empty()) return E_FAIL;

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(result))
        result = factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(result)) result = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(result)) result = frame->GetSize(&width, &height);
    if (FAILED(result)) return result;
    if (width == 0 || height == 0) return E_FAIL;
    display = DisplaySize(width, height, widthAsked);

    ComPtr<IWICBitmapSource> source = frame;
    const auto shownWidth = static_cast<UINT>(display.cx), shownHeight = static_cast<UINT>(display.cy);
    if (shownWidth < width || shownHeight < height) {
        ComPtr<IWICBitmapScaler> scaler;
        result = factory->CreateBitmapScaler(&scaler);
        if (SUCCEEDED(result))
            result = scaler->Initialize(frame.Get(), shownWidth, shownHeight, WICBitmapInterpolationModeFant);
        if (FAILED(result)) return result;
        source = scaler;
    }
    ComPtr<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result))
        result = converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                       0.0, WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(result)) result = converter->GetSize(&out.width, &out.height);
    if (FAILED(result)) return result;
    const UINT stride = out.width * 4;
    out.bgra.resize(static_cast<std::size_t>(stride) * out.height);
    return converter->CopyPixels(nullptr, stride, static_cast<UINT>(out.bgra.size()), out.bgra.data());
}

// Lays transparent parts over white, as the picture shows on a white page;
// the alpha byte is then unused.
void OverWhite(Pixels& pixels) {
    for (std::size_t at = 0; at + 3 < pixels.bgra.size(); at += 4) {
        const BYTE clear = static_cast<BYTE>(255 - pixels.bgra[at + 3]);
        for (std::size_t c = 0; c < 3; ++c) pixels.bgra[at + c] = static_cast<BYTE>(pixels.bgra[at + c] + clear);
        pixels.bgra[at + 3] = 0;
    }
}

// The picture drawn at its display size into an enhanced metafile whose
// units are the screen's pixels.
UniqueEnhMetaFile Record(const Pixels& pixels, SIZE display) {
    const WindowDC screen(nullptr);
    const HDC reference = screen.dc();
    const RECT frame{0, 0,
                     MulDiv(display.cx, GetDeviceCaps(reference, HORZSIZE) * 100, GetDeviceCaps(reference, HORZRES)),
                     MulDiv(display.cy, GetDeviceCaps(reference, VERTSIZE) * 100, GetDeviceCaps(reference, VERTRES))};
    EnhMetaFileRecorder recorder(CreateEnhMetaFileA(reference, nullptr, &frame, nullptr));
    if (!recorder) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(pixels.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(pixels.height);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(recorder.dc(), HALFTONE);
    if (StretchDIBits(recorder.dc(), 0, 0, display.cx, display.cy, 0, 0, static_cast<int>(pixels.width),
                      static_cast<int>(pixels.height), pixels.bgra.data(), &info, DIB_RGB_COLORS, SRCCOPY) == 0)
        return {};
    return recorder.finish();
}

// The RTF of one picture, served to the box piece by piece: the head, the
// metafile's bytes in hexadecimal, the tail.
class PictureRtf {
public:
    PictureRtf(const std::vector<BYTE>& metafile, SIZE display, SIZE hundredthsMm, int dpiX, int dpiY)
        : metafile_(metafile) {
        char head[200];
        std::snprintf(head, sizeof head, "{\\rtf1\\ansi{\\pict\\emfblip\\picw%ld\\pich%ld\\picwgoal%d\\pichgoal%d\n",
                      hundredthsMm.cx, hundredthsMm.cy, MulDiv(display.cx, 1440, dpiX), MulDiv(display.cy, 1440, dpiY));
        head_ = head;
    }

    // The stream callback, through GuardedStreamCallback.
    static DWORD Read(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* done) {
        *done = static_cast<LONG>(reinterpret_cast<PictureRtf*>(cookie)->Fill(buffer, wanted));
        return 0;
    }

private:
    std::size_t Fill(BYTE* buffer, LONG wanted) {
        static const char kHex[] = "0123456789abcdef";
        const std::size_t hexLength = metafile_.size() * 2;
        std::size_t written = 0;
        for (; written < static_cast<std::size_t>(std::max(wanted, 0L)); ++written, ++at_) {
            char c;
            if (at_ < head_.size()) {
                c = head_[at_];
            } else if (at_ - head_.size() < hexLength) {
                const std::size_t digit = at_ - head_.size();
                const BYTE byte = metafile_[digit / 2];
                c = kHex[digit % 2 == 0 ? byte >> 4 : byte & 0xF];
            } else if (at_ - head_.size() - hexLength < kTail.size()) {
                c = kTail[at_ - head_.size() - hexLength];
            } else {
                break;
            }
            buffer[written] = static_cast<BYTE>(c);
        }
        return written;
    }

    static constexpr std::string_view kTail = "}}";
    const std::vector<BYTE>& metafile_;
    std::string head_;
    std::size_t at_ = 0;
};

bool IsRichEditOfThisProcess(const RichEdit& box) {
    char className[32] = {};
    DWORD process = 0;
    return box.Addressable() && GetClassNameA(box, className, sizeof className) != 0 &&
           _strnicmp(className, "RichEdit", 8) == 0 && GetWindowThreadProcessId(box, &process) != 0 &&
           process == GetCurrentProcessId();
}

// The box's exact length in UTF-16 characters.
int TextLength(const RichEdit& box) { return box.GetTextLengthEx(GTL_NUMCHARS | GTL_PRECISE, 1200); }

// Streams the picture in after the box's selection (the selected text
// stays); the caret ends after the picture. True when the box took it;
// otherwise the selection is as it was.
bool Insert(const RichEdit& box, const std::vector<BYTE>& metafile, SIZE display, SIZE hundredthsMm) {
    const WindowDC screen(nullptr);
    PictureRtf rtf(metafile, display, hundredthsMm, GetDeviceCaps(screen.dc(), LOGPIXELSX),
                   GetDeviceCaps(screen.dc(), LOGPIXELSY));
    const CHARRANGE selection = box.ExGetSel();
    box.ExSetSel({selection.cpMax, selection.cpMax});
    const int before = TextLength(box);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, &GuardedStreamCallback<&PictureRtf::Read>};
    box.StreamIn(SF_RTF | SFF_SELECTION, stream);
    if (stream.dwError == 0 && TextLength(box) > before) return true;
    box.ExSetSel(selection);
    return false;
}

enum class Embedding { kEmbedded, kUndecodable, kNotEmbedded };

// The whole embedding once the file is known to open.
Embedding Embed(const RichEdit& box, const char* path, std::int32_t widthAsked) {
    const OleScope ole;
    Pixels pixels;
    SIZE display{};
    // The platform running out of memory is memory exhaustion, reported as
    // such, not a file that does not decode.
    const HRESULT decoded = Decode(path, widthAsked, pixels, display);
    if (decoded == E_OUTOFMEMORY) throw std::bad_alloc();
    if (FAILED(decoded)) return Embedding::kUndecodable;
    if (!IsRichEditOfThisProcess(box)) return Embedding::kNotEmbedded;
    OverWhite(pixels);
    const UniqueEnhMetaFile picture = Record(pixels, display);
    if (!picture) return Embedding::kNotEmbedded;
    ENHMETAHEADER header{};
    if (GetEnhMetaFileHeader(picture.get(), sizeof header, &header) == 0) return Embedding::kNotEmbedded;
    std::vector<BYTE> bytes(GetEnhMetaFileBits(picture.get(), 0, nullptr));
    if (bytes.empty() || GetEnhMetaFileBits(picture.get(), static_cast<UINT>(bytes.size()), bytes.data()) == 0)
        return Embedding::kNotEmbedded;
    const SIZE hundredthsMm{header.rclFrame.right - header.rclFrame.left, header.rclFrame.bottom - header.rclFrame.top};
    return Insert(box, bytes, display, hundredthsMm) ? Embedding::kEmbedded : Embedding::kNotEmbedded;
}

}  // namespace

// imEmbedImage(box, file [, width]) inserts the picture of the file into
// the rich-text box after its selection, argument 3 pixels wide (its own
// width without it, or for 0 or less) with the height following its shape,
// at most 4,096 pixels on either side. Gives 1 when embedded. A file that
// does not open or decode shows "File Open Error" and gives 0; so does a
// window that is no rich-text box of this process (without the message).
// Nothing changes when the result is 0. Memory running out, here or in
// the platform's imaging component, is the error result 201001.
std::int32_t CVantor::imEmbedImage(const Call& call) {
    const char* path = call.text(2);
    if (!call.CheckFileReadable(path)) return call.ReturnInteger(0);
    switch (Embed(RichEdit(call.window(1)), path, call.optionalInteger(3, 0))) {
        case Embedding::kEmbedded: return call.ReturnInteger(1);
        case Embedding::kUndecodable: call.ShowFileOpenError(); break;
        case Embedding::kNotEmbedded: break;
    }
    return call.ReturnInteger(0);
}

}  // namespace vantor
