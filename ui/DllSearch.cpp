#include "ui/DllSearch.h"

#include <windows.h>

namespace tolvex::ui {

void RestrictDllSearchToSystem32() {
    SetDllDirectoryW(L"");
    // Looked up at run time: older systems lack it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC entry = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (entry) {
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(entry))(
            LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace tolvex::ui
