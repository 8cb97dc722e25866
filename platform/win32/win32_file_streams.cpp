// Files opened for a pass of reading or writing, their attributes and time stamps, and the
// room left on a volume.
#include "platform/win32/win32_system.h"

#include <algorithm>
#include <utility>

#include "platform/win32/wide.h"

namespace {

// ReadFile and WriteFile take 32-bit counts; larger requests go in slices.
constexpr std::size_t kSlice = 1u << 30;

class Win32File : public platform::File {
public:
    Win32File(FileHandle handle, bool writing) : handle_(std::move(handle)), writing_(writing) {}

    bool read(unsigned char* buffer, std::size_t size, std::size_t& got) override {
        DWORD n = 0;
        got = 0;
        if (!ReadFile(handle_.get(), buffer, static_cast<DWORD>(std::min(size, kSlice)), &n, nullptr)) return false;
        got = n;
        return true;
    }

    bool write(const unsigned char* data, std::size_t size) override {
        while (size > 0) {
            DWORD n = 0;
            const DWORD slice = static_cast<DWORD>(std::min(size, kSlice));
            if (!WriteFile(handle_.get(), data, slice, &n, nullptr) || n != slice) return false;
            data += n;
            size -= n;
        }
        return true;
    }

    // A delayed write error shows only when the data is flushed.
    bool close() override {
        if (!handle_) return false;
        const bool flushed = !writing_ || FlushFileBuffers(handle_.get()) != 0;
        return CloseHandle(handle_.release()) != 0 && flushed;
    }

private:
    FileHandle handle_;
    bool writing_;
};

std::uint64_t toNumber(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME toFileTime(std::uint64_t n) {
    return FILETIME{static_cast<DWORD>(n & 0xFFFFFFFFu), static_cast<DWORD>(n >> 32)};
}

}  // namespace

std::unique_ptr<platform::File> Win32System::openFile(const std::u16string& path, platform::FileOpen how) {
    const std::wstring name = toWide(path);
    HANDLE h = INVALID_HANDLE_VALUE;
    switch (how) {
    case platform::FileOpen::Read:
        h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                        nullptr);
        break;
    case platform::FileOpen::Replace:
        h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case platform::FileOpen::CreateNew:
        // Not shared until it is closed: nobody else can change it before it runs.
        h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    }
    FileHandle handle(h);
    if (!handle) return nullptr;
    return std::make_unique<Win32File>(std::move(handle), how != platform::FileOpen::Read);
}

bool Win32System::readFileStatus(const std::u16string& path, platform::FileStatus& status) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(toWide(path).c_str(), GetFileExInfoStandard, &data)) return false;
    status.attributes = data.dwFileAttributes;
    status.created = toNumber(data.ftCreationTime);
    status.accessed = toNumber(data.ftLastAccessTime);
    status.written = toNumber(data.ftLastWriteTime);
    return true;
}

bool Win32System::writeFileStatus(const std::u16string& path, const platform::FileStatus& status) {
    const std::wstring name = toWide(path);
    // The time stamps first: a read-only file refuses to be opened for writing them.
    {
        FileHandle file(CreateFileW(name.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        if (!file) return false;
        const FILETIME created = toFileTime(status.created), accessed = toFileTime(status.accessed),
                       written = toFileTime(status.written);
        if (!SetFileTime(file.get(), &created, &accessed, &written)) return false;
    }
    DWORD attributes = status.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(name.c_str(), attributes) != 0;
}

std::optional<std::uint64_t> Win32System::freeDiskBytes(const std::u16string& folder) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(toWide(folder).c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}
