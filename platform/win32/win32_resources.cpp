// The launcher's payload: resources of type CUSTOM in its own file.
#include "platform/win32/win32_system.h"

#include <new>

#include "platform/win32/wide.h"

// A resource of the executable image stays mapped, unchanged, until the process ends.
platform::ResourceView Win32System::customResourceView(const std::u16string& name, int& error) {
    const std::wstring resourceName = toWide(name);
    HRSRC found = FindResourceW(nullptr, resourceName.c_str(), L"CUSTOM");
    if (!found) {
        error = platform::kResourceNotFound;
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) {
        error = platform::kResourceLoadFailed;
        return {};
    }
    const void* data = LockResource(loaded);
    if (!data) {
        error = platform::kResourceLockFailed;
        return {};
    }
    const DWORD size = SizeofResource(nullptr, found);
    if (size == 0) {
        error = platform::kResourceEmpty;
        return {};
    }
    error = platform::kResourceOk;
    return {static_cast<const unsigned char*>(data), size};
}

std::vector<unsigned char> Win32System::loadCustomResource(const std::u16string& name, int& error) {
    const platform::ResourceView view = customResourceView(name, error);
    if (error != platform::kResourceOk) return {};
    // The installer package can be large; a failed allocation is a result, not a crash.
    try {
        return std::vector<unsigned char>(view.data, view.data + view.size);
    } catch (const std::bad_alloc&) {
        error = platform::kResourceNoMemory;
        return {};
    }
}
