// set-settings: replaces the SETTINGS resource of a built setup.exe, so end-to-end tests
// can try many settings documents (damaged ones included) without relinking.
//   set-settings <setup.exe> <settings.xml>   scrambles the file and embeds it
// (An empty or missing resource cannot be made this way, as Wine's resource update
// refuses both; the fixture launchers of CMakeLists.txt carry those.)
//   set-settings <setup.exe> --raw <file>     embeds the file as it is (unscrambled)
//   set-settings <program> --resource <NAME> <file>   embeds a payload file as resource NAME
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/scramble.h"

namespace {

bool readFile(const wchar_t* path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: set-settings <setup.exe> <settings.xml> | --raw <file> | --resource <NAME> <file>\n");
        return 2;
    }
    const std::wstring mode = argv[2];
    std::wstring resourceName = L"SETTINGS";
    std::vector<unsigned char> bytes;
    if (mode == L"--resource") {
        if (argc < 5 || !readFile(argv[4], bytes)) {
            std::fprintf(stderr, "set-settings: cannot read the payload file\n");
            return 1;
        }
        resourceName = argv[3];
    } else if (mode == L"--raw") {
        if (argc < 4 || !readFile(argv[3], bytes)) {
            std::fprintf(stderr, "set-settings: cannot read the raw file\n");
            return 1;
        }
    } else {
        if (!readFile(argv[2], bytes)) {
            std::fprintf(stderr, "set-settings: cannot read %ls\n", argv[2]);
            return 1;
        }
        scrambleBytes(bytes.data(), bytes.size());
    }

    HANDLE update = BeginUpdateResourceW(argv[1], FALSE);
    if (!update) {
        std::fprintf(stderr, "set-settings: cannot open %ls (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    if (bytes.empty()) {
        std::fprintf(stderr, "set-settings: the document is empty\n");
        return 1;
    }
    const BOOL ok = UpdateResourceW(update, L"CUSTOM", resourceName.c_str(), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                    bytes.data(), static_cast<DWORD>(bytes.size()));
    if (!EndUpdateResourceW(update, !ok) || !ok) {
        std::fprintf(stderr, "set-settings: resource update failed (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
