// The launcher's payload: resources of type CUSTOM in its own file.
#include "platform/win32/win32_system.h"

#include <new>

#include "platform/win32/wide.h"

std::vector<unsigned char> Win32System::loadCustomResource(const std::u16string& name, int& error) {
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
    const auto* bytes = static_cast<const unsigned char*>(data);
    // The installer package can be large; a failed allocation is a result, not a crash.
    try {
        std::vector<unsigned char> copy(bytes, bytes + size);
        error = platform::kResourceOk;
        return copy;
    } catch (const std::bad_alloc&) {
        error = platform::kResourceNoMemory;
        return {};
    }
}
