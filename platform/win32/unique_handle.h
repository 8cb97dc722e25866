// One move-only owner for every kind of Win32 handle; the close policy is a type
// parameter, so each early return closes exactly once.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

template <typename Handle, typename Close, Handle Invalid = Handle()>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    Handle* out() {
        reset();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != Invalid; }
    Handle release() { return std::exchange(handle_, Invalid); }
    void reset(Handle h = Invalid) {
        if (handle_ != Invalid) Close()(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Invalid;
};

struct CloseKernelHandle {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct CloseRegistryKey {
    void operator()(HKEY k) const { ::RegCloseKey(k); }
};
struct CloseFindHandle {
    void operator()(HANDLE h) const { ::FindClose(h); }
};
struct FreeModule {
    void operator()(HMODULE m) const { ::FreeLibrary(m); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ o) const { ::DeleteObject(o); }
};
struct DestroyIconHandle {
    void operator()(HICON i) const { ::DestroyIcon(i); }
};

// COM interfaces are released, not closed; memory the shell hands out goes back to COM.
struct ReleaseComObject {
    template <typename Interface>
    void operator()(Interface* p) const {
        p->Release();
    }
};
struct FreeCoTaskMemory {
    void operator()(void* p) const { ::CoTaskMemFree(p); }
};

using KernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using RegistryKey = UniqueHandle<HKEY, CloseRegistryKey>;
using ModuleHandle = UniqueHandle<HMODULE, FreeModule>;
using FontHandle = UniqueHandle<HFONT, DeleteGdiObject>;
using IconHandle = UniqueHandle<HICON, DestroyIconHandle>;
template <typename Interface>
using ComPtr = UniqueHandle<Interface*, ReleaseComObject>;
template <typename T>
using CoTaskMemory = UniqueHandle<T*, FreeCoTaskMemory>;

// FindFirstFile and CreateFile answer INVALID_HANDLE_VALUE, not null, on failure.
struct FindHandle : UniqueHandle<HANDLE, CloseFindHandle> {
    explicit FindHandle(HANDLE h) : UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};
struct FileHandle : UniqueHandle<HANDLE, CloseKernelHandle> {
    explicit FileHandle(HANDLE h) : UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};
