// Files and folders. Paths arrive as the caller built them (long-path prefixes are the
// portable code's business).
#include "platform/win32/win32_system.h"

#include <algorithm>

#include "platform/win32/wide.h"

namespace {

constexpr DWORD kCopyChunk = 100000;

FileHandle openForReading(const std::u16string& path) {
    return FileHandle(CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle createForWriting(const std::u16string& path) {
    return FileHandle(CreateFileW(toWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Every byte asked for, or false: a short read is a failure, not an early end.
bool readExactly(HANDLE file, unsigned char* data, std::size_t size) {
    while (size > 0) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, kCopyChunk));
        if (!ReadFile(file, data, want, &got, nullptr) || got == 0) return false;
        data += got;
        size -= got;
    }
    return true;
}

bool atEnd(HANDLE file) {
    unsigned char extra = 0;
    DWORD got = 0;
    return ReadFile(file, &extra, 1, &got, nullptr) && got == 0;
}

bool writeAll(HANDLE file, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, kCopyChunk));
        if (!WriteFile(file, data, want, &written, nullptr) || written != want) return false;
        data += written;
        size -= written;
    }
    return true;
}

// A written file is complete only once its data reached the disk and the handle closed:
// a delayed write error shows only here.
bool finishWriting(FileHandle& file) {
    const bool flushed = FlushFileBuffers(file.get()) != 0;
    return CloseHandle(file.release()) != 0 && flushed;
}

}  // namespace

std::u16string Win32System::tempFolder() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
    if (length == 0 || length > MAX_PATH + 1) return {};
    const std::u16string path = fromWide(std::wstring(buffer, length));
    const auto cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

bool Win32System::findFirstFile(const std::u16string& searchName) {
    WIN32_FIND_DATAW data;
    FindHandle search(FindFirstFileW(toWide(searchName).c_str(), &data));
    return static_cast<bool>(search);
}

bool Win32System::hasAttributes(const std::u16string& path) {
    return GetFileAttributesW(toWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long Win32System::fileSize(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(toWide(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool Win32System::readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    FileHandle file = openForReading(path);
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), 0);
    // Fewer bytes than the size, or more after them (the file changed meanwhile), is not the file.
    if (!readExactly(file.get(), bytes.data(), bytes.size()) || !atEnd(file.get())) {
        bytes.clear();
        return false;
    }
    return true;
}

int Win32System::copyFile(const std::u16string& source, const std::u16string& target) {
    FileHandle in = openForReading(source);
    if (!in) return -1;  // before the target is touched: a missing source creates nothing
    FileHandle out = createForWriting(target);
    if (!out) return -2;
    std::vector<unsigned char> chunk(kCopyChunk);
    int result = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), chunk.data(), kCopyChunk, &got, nullptr)) {
            result = -1;
            break;
        }
        if (got == 0) break;
        if (!writeAll(out.get(), chunk.data(), got)) {
            result = -2;
            break;
        }
    }
    if (result == 0 && !finishWriting(out)) result = -2;
    if (result != 0) {
        // A partial copy must not pass for the file later.
        out.reset();
        DeleteFileW(toWide(target).c_str());
    }
    return result;
}

bool Win32System::createEmptyFile(const std::u16string& path) {
    FileHandle file = createForWriting(path);
    return file && CloseHandle(file.release()) != 0;
}

bool Win32System::writeWholeFile(const std::u16string& path, const std::vector<unsigned char>& bytes) {
    FileHandle file = createForWriting(path);
    if (!file) return false;
    if (writeAll(file.get(), bytes.data(), bytes.size()) && finishWriting(file)) return true;
    file.reset();
    DeleteFileW(toWide(path).c_str());
    return false;
}

std::u16string Win32System::readIniString(const std::u16string& file, const std::u16string& section,
                                          const std::u16string& key, const std::u16string& defaultValue,
                                          std::size_t maxChars) {
    if (maxChars == 0) return {};
    std::wstring buffer(maxChars, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(), toWide(defaultValue).c_str(),
                                 buffer.data(), static_cast<DWORD>(maxChars), toWide(file).c_str());
    buffer.resize(std::min<std::size_t>(length, maxChars - 1));
    return fromWide(buffer);
}

bool Win32System::deleteFile(const std::u16string& path) {
    const std::wstring file = toWide(path);
    if (!DeleteFileW(file.c_str())) return false;
    // Wine removes the file only when its last handle closes and then ignores a refusal
    // (a folder the user cannot change): success means the name is gone.
    return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<platform::FolderEntry> Win32System::findFiles(const std::u16string& searchPattern) {
    std::vector<platform::FolderEntry> entries;
    WIN32_FIND_DATAW data;
    FindHandle search(FindFirstFileW(toWide(searchPattern).c_str(), &data));
    if (!search) return entries;
    do {
        platform::FolderEntry entry;
        entry.name = fromWide(data.cFileName);
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &data));
    return entries;
}

std::u16string Win32System::ansiToWide(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &text[0], length);
    return fromWide(text);
}

namespace {

// GetLongPathNameW or GetShortPathNameW on the path; the path itself when it fails.
std::u16string convertedPath(const std::u16string& path, DWORD(WINAPI* convert)(LPCWSTR, LPWSTR, DWORD)) {
    const std::wstring from = toWide(path);
    const DWORD needed = convert(from.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring to(needed, L'\0');
    const DWORD written = convert(from.c_str(), &to[0], needed);
    if (written == 0 || written >= needed) return path;
    to.resize(written);
    return fromWide(to.c_str());
}

}  // namespace

std::u16string Win32System::longPathName(const std::u16string& path) { return convertedPath(path, GetLongPathNameW); }

std::u16string Win32System::shortPathName(const std::u16string& path) { return convertedPath(path, GetShortPathNameW); }

bool Win32System::createFolder(const std::u16string& path) {
    const std::wstring folder = toWide(path);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
