#include "ui/DesktopPlatform.h"

#include <optional>
#include <string>

#include "ui/AnsiText.h"
#include "ui/SystemError.h"

namespace tolvex::ui {
namespace {

std::string NarrowPathOrFail(const std::wstring& path) {
    std::optional<std::string> narrow = ToAnsiCodePage(path);
    if (!narrow) {
        throw PlatformFailure(
            L"The installer cannot be started, because its path contains characters that this "
            L"system's code page cannot represent: " +
            path);
    }
    return *std::move(narrow);
}

std::optional<std::string> NarrowOptional(const std::optional<std::wstring>& text) {
    if (!text) return std::nullopt;
    return NarrowPathOrFail(*text);
}

const char* PointerOrNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

}  // namespace

std::wstring DesktopPlatform::CurrentDirectory() {
    // Asked for its length first; another thread may change it in between, so ask until it fits.
    for (;;) {
        const DWORD needed = GetCurrentDirectoryW(0, nullptr);
        if (needed == 0) break;
        std::wstring directory(needed, L'\0');
        const DWORD length = GetCurrentDirectoryW(needed, directory.data());
        if (length == 0) break;
        if (length < needed) {
            directory.resize(length);
            return directory;
        }
    }
    throw PlatformFailure(L"The menu cannot tell which folder it was started in. " + SystemErrorText(GetLastError()));
}

WindowHandle DesktopPlatform::MainWindowHandle() {
    HWND hwnd = window_.Handle();
    if (!hwnd) throw PlatformFailure(L"The menu's window is no longer open.");
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(hwnd));
}

std::intptr_t DesktopPlatform::ShellOpen(const LaunchRequest& request) {
    const std::string file = NarrowPathOrFail(request.file);
    const std::string verb = NarrowPathOrFail(request.verb);
    const std::optional<std::string> parameters = NarrowOptional(request.parameters);
    const std::optional<std::string> directory = NarrowOptional(request.directory);

    const ShellExecuteAFunction shellExecute = shellExecute_.Get();
    HWND owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.owner));
    // Whatever the shell answers is its own to report.
    HINSTANCE result = shellExecute(owner, verb.c_str(), file.c_str(), PointerOrNull(parameters),
                                    PointerOrNull(directory), request.showMode);
    return reinterpret_cast<std::intptr_t>(result);
}

int DesktopPlatform::ShowMessage(const std::wstring& text, unsigned style, const std::wstring& title) {
    // No owner; task-modal so that the menu takes no clicks until the warning is dismissed.
    const int pressed = MessageBoxW(nullptr, text.c_str(), title.c_str(), style | MB_TASKMODAL);
    if (pressed == 0) throw PlatformFailure(L"A warning could not be shown. " + SystemErrorText(GetLastError()));
    return pressed;
}

void DesktopPlatform::CloseMainWindow() {
    if (!window_.Destroy()) throw PlatformFailure(L"The menu could not be closed. " + SystemErrorText(GetLastError()));
}

}  // namespace tolvex::ui
