/* A child for the process tests: "exit_code N" ends with exit code N, "exit_code sleep MS"
   waits that long first and ends with 0, "exit_code cwd-has NAME" ends with 0 when NAME
   lies in its working folder and with 1 otherwise. */
#include <windows.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && wcscmp(argv[1], L"sleep") == 0) {
        Sleep(wcstoul(argv[2], NULL, 10));
        return 0;
    }
    if (argc == 3 && wcscmp(argv[1], L"cwd-has") == 0) return GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES;
    return argc == 2 ? (int)wcstoul(argv[1], NULL, 10) : 100;
}
