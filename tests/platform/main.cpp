// platform_tests.exe [GoogleTest options] [scenario options, see test_support.h]
// With --dll-probe=plain|hardened it is a child of the DLL search test instead.
#include <gtest/gtest.h>

#include "test_support.h"

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && wcsncmp(argv[1], L"--dll-probe=", 12) == 0) return runDllProbe(argv[1] + 12);
    testing::InitGoogleTest(&argc, argv);
    if (!parseScenarioOptions(argc, argv)) return 2;
    return RUN_ALL_TESTS();
}
