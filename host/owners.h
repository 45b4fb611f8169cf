// Owners of platform resources: each releases what it holds on every path.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <utility>

namespace vantor {

// Holds one resource of type T, released with Close unless it is Invalid.
template <class T, auto Close, T Invalid = T{}>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        const T old = std::exchange(value_, value);
        if (old != Invalid) Close(old);
    }

private:
    T value_ = Invalid;
};

namespace detail {
template <class Gdi>
void DeleteGdi(Gdi h) {
    DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void ReleaseLibrary(HMODULE h) { FreeLibrary(h); }
inline void DeleteEnhMetaFileHandle(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
}  // namespace detail

// A file from CreateFileA: invalid is INVALID_HANDLE_VALUE.
class UniqueFile {
public:
    explicit UniqueFile(HANDLE h) : h_(h) {}
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    ~UniqueFile() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

template <class Gdi>
using UniqueGdi = UniqueResource<Gdi, detail::DeleteGdi<Gdi>>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueIcon = UniqueResource<HICON, detail::DestroyIconHandle>;
using UniqueLibrary = UniqueResource<HMODULE, detail::ReleaseLibrary>;
using UniqueEnhMetaFile = UniqueResource<HENHMETAFILE, detail::DeleteEnhMetaFileHandle>;

// The device context that records an enhanced metafile; finish() gives the
// metafile, and a recording never finished is thrown away.
class EnhMetaFileRecorder {
public:
    explicit EnhMetaFileRecorder(HDC dc) : dc_(dc) {}
    EnhMetaFileRecorder(const EnhMetaFileRecorder&) = delete;
    EnhMetaFileRecorder& operator=(const EnhMetaFileRecorder&) = delete;
    ~EnhMetaFileRecorder() {
        if (dc_ != nullptr) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
    }
    explicit operator bool() const { return dc_ != nullptr; }
    HDC dc() const { return dc_; }
    UniqueEnhMetaFile finish() { return UniqueEnhMetaFile(CloseEnhMetaFile(std::exchange(dc_, nullptr))); }

private:
    HDC dc_;
};

// A file made for a moment (for example written before it replaces
// another): deleted when the owner goes, unless kept.
class ScratchFile {
public:
    // Copies path (cut at MAX_PATH - 1 characters) without allocating, so
    // the file made just before is deleted whatever happens next.
    explicit ScratchFile(const char* path) noexcept { lstrcpynA(path_, path, MAX_PATH); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() {
        if (path_[0] != '\0') DeleteFileA(path_);
    }
    const char* path() const { return path_; }
    void keep() { path_[0] = '\0'; }

private:
    char path_[MAX_PATH] = {};
};

// Paints inside BeginPaint/EndPaint of a window.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() {
        if (dc_ != nullptr) EndPaint(window_, &paint_);
    }
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A device context from GetDC, released with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    HDC dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// OLE for the current thread while in scope; balanced only when it started.
class OleScope {
public:
    OleScope() : started_(SUCCEEDED(OleInitialize(nullptr))) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (started_) OleUninitialize();
    }

private:
    bool started_;
};

}  // namespace vantor
