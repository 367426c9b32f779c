#include "ui/ShellExecuteBinding.h"

#include <string>

#include "launcher/PlatformServices.h"
#include "ui/SystemError.h"

namespace tolvex::ui {
namespace {

constexpr wchar_t kShellLibrary[] = L"shell32.dll";
constexpr char kShellExecuteEntry[] = "ShellExecuteA";

}  // namespace

HMODULE LoadFromSystemDirectory(const wchar_t* dllName) {
    HMODULE module = LoadLibraryExW(dllName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;

    // A system without the restricted search flags: name the file in System32 in full.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
        if (length == 0) return nullptr;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length);
    }
    path += L'\\';
    path += dllName;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

ShellExecuteAFunction ShellExecuteBinding::Get() {
    if (function_) return function_;

    // The library stays loaded for the life of the process: the held address points into it.
    HMODULE shell = loader_(kShellLibrary);
    if (!shell) {
        throw PlatformFailure(
            L"The installer cannot be started, because the Windows library shell32.dll could not be "
            L"loaded. " +
            SystemErrorText(GetLastError()));
    }
    FARPROC entry = GetProcAddress(shell, kShellExecuteEntry);
    if (!entry) {
        FreeLibrary(shell);
        throw PlatformFailure(
            L"The installer cannot be started, because the Windows library shell32.dll has no "
            L"function ShellExecuteA.");
    }
    function_ = reinterpret_cast<ShellExecuteAFunction>(reinterpret_cast<void (*)()>(entry));
    return function_;
}

}  // namespace tolvex::ui
