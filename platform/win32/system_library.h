// DLLs the launcher needs beyond the loader's known system DLLs are loaded at run time
// from the system folder only: an import the Windows loader resolves before wWinMain runs
// would search the launcher's own folder first, where a planted copy could sit.
#pragma once

#include "platform/win32/unique_handle.h"

// The system folder's copy of a DLL, never one from the launcher's folder.
ModuleHandle loadSystemLibrary(const wchar_t* name);

// Restricts DLL loading to the system folder before anything else loads a library, so
// a DLL planted beside setup.exe in a download folder is never picked up.
void hardenDllSearchPath();

// A typed export of a module: by name, or by ordinal with MAKEINTRESOURCEA.
template <typename Function>
Function exportOf(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
