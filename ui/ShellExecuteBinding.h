// ShellExecuteA, bound from shell32.dll on first use and held from then on.
#pragma once

#include <windows.h>

namespace tolvex::ui {

using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// Loads a system DLL by its bare name; null with the thread's last error set on failure.
using SystemLibraryLoader = HMODULE (*)(const wchar_t* dllName);

// Loads from the System32 directory only, never from the program's folder or the current one.
HMODULE LoadFromSystemDirectory(const wchar_t* dllName);

class ShellExecuteBinding {
public:
    explicit ShellExecuteBinding(SystemLibraryLoader loader = &LoadFromSystemDirectory) : loader_(loader) {}

    // The bound function. The first call binds it; a failed binding raises a PlatformFailure
    // and holds nothing, so the next call tries again.
    ShellExecuteAFunction Get();
    bool IsBound() const { return function_ != nullptr; }

private:
    SystemLibraryLoader loader_;
    ShellExecuteAFunction function_ = nullptr;
};

}  // namespace tolvex::ui
