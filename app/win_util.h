#pragma once
// Win32 plumbing of the window code: DPI, entry points that older systems lack, and scoped
// owners for GDI objects, device contexts, COM pointers and re-entrancy flags.
#include <windows.h>

#include <utility>

// n pixels at 96 DPI scaled to `dpi`, rounded.
inline int ScaleDp(int n, int dpi)
{
    return MulDiv(n, dpi, 96);
}

// An export of `module` by name or by ordinal (MAKEINTRESOURCEA); null when either is missing.
template <typename Fn>
Fn FindExport(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The window's DPI (GetDpiForWindow, Windows 10 1607 on), else the screen's, else 96.
int WindowDpi(HWND window);
// Per-monitor DPI awareness v2 where the call exists (Windows 10 1703 on).
void MakeProcessPerMonitorDpiAware();
// The operating system's build number (RtlGetVersion), or 0 when it cannot be read.
unsigned long GetWindowsBuildNumber();
// Ends the message box or dialog that `owner` has open on this thread, as if `result` were
// pressed (it returns once its loop runs again).
void EndOwnedDialog(HWND owner, int result);

// Owns a GDI object (brush, pen, font) and deletes it when replaced or at the end of its life.
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    void reset(T object = nullptr)
    {
        if (object_ && object_ != object) DeleteObject(object_);
        object_ = object;
    }
    T get() const { return object_; }
    operator T() const { return object_; }

private:
    T object_ = nullptr;
};

// Deletes a GDI object kept for the life of a window (the UI font, the theme's brushes).
template <typename T>
void DeleteGdiObject(T& object)
{
    if (object) DeleteObject(object);
    object = nullptr;
}

// A window's device context (the screen's for null), released at the end of the scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a device context for the scope, then puts the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer, released at the end of the scope.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr()
    {
        if (pointer_) pointer_->Release();
    }
    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For the out-parameter of a creating call; the pointer must be empty.
    T** put() { return &pointer_; }

private:
    T* pointer_ = nullptr;
};

// Sets a re-entrancy flag for the scope and restores its former value.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { flag_ = was_; }

private:
    bool& flag_;
    bool was_;
};
