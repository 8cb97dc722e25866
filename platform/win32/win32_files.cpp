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
    FileHandle file = openForReading(path);
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

int Win32System::copyFile(const std::u16string& source, const std::u16string& target) {
    FileHandle in = openForReading(source);
    if (!in) return -1;  // before the target is touched: a missing source creates nothing
    FileHandle out = createForWriting(target);
    if (!out) return -2;
    std::vector<unsigned char> chunk(kCopyChunk);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), chunk.data(), kCopyChunk, &got, nullptr) || got == 0) break;
        DWORD written = 0;
        WriteFile(out.get(), chunk.data(), got, &written, nullptr);
    }
    return 0;
}

bool Win32System::createEmptyFile(const std::u16string& path) { return static_cast<bool>(createForWriting(path)); }

bool Win32System::writeWholeFile(const std::u16string& path, const std::vector<unsigned char>& bytes) {
    FileHandle file = createForWriting(path);
    if (!file) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kCopyChunk));
        if (!WriteFile(file.get(), bytes.data() + done, want, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
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
