// Asks the Windows Installer what the demo checks need to know about an installed package,
// in the same calls the launcher makes. Prints one line and exits 0, or 2 on bad usage.
//   msi_query product   {PRODUCT}
//   msi_query feature   {PRODUCT} FEATURE
//   msi_query component {PRODUCT} {COMPONENT}    (state, a tab, the path)
#include <windows.h>
#include <msi.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"product") == 0) {
        std::printf("%d\n", static_cast<int>(MsiQueryProductStateW(argv[2])));
        return 0;
    }
    if (argc == 4 && std::wcscmp(argv[1], L"feature") == 0) {
        std::printf("%d\n", static_cast<int>(MsiQueryFeatureStateW(argv[2], argv[3])));
        return 0;
    }
    if (argc == 4 && std::wcscmp(argv[1], L"component") == 0) {
        wchar_t path[MAX_PATH] = L"";
        DWORD size = MAX_PATH;
        const INSTALLSTATE state = MsiGetComponentPathW(argv[2], argv[3], path, &size);
        std::printf("%d\t%ls\n", static_cast<int>(state), path);
        return 0;
    }
    std::fprintf(stderr, "usage: msi_query product|feature|component ...\n");
    return 2;
}
