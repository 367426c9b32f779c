// setup.exe: the disc's start menu. One window, one thread; the program ends with the window.
#include <windows.h>

#include "app/resource.h"
#include "launcher/Launcher.h"
#include "ui/DesktopPlatform.h"
#include "ui/MainWindow.h"

namespace {

// A disc, a download folder or a share may hold a DLL planted beside setup.exe or in the
// current directory under a system DLL's name. From here on only System32 supplies DLLs.
void RestrictDllSearchToSystem32() {
    // Drops the current directory from the search on every system.
    SetDllDirectoryW(L"");
    // Newer systems can also drop the program's own folder; older ones lack the function.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC entry = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (entry) {
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(entry))(
            LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

int RunMessageLoop(const tolvex::ui::MainWindow& window) {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return window.EndedByFailure() ? 1 : static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        // The dialog manager gives the buttons Tab, Shift+Tab, Enter and Space.
        HWND main = window.Handle();
        if (main && IsDialogMessageW(main, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    RestrictDllSearchToSystem32();
    try {
        tolvex::ui::MainWindow window;
        tolvex::ui::DesktopPlatform platform(window);
        tolvex::Launcher launcher(platform);
        if (!window.Create(instance, launcher, {IDI_TOLVEX, IDB_BANNER})) return 1;
        window.Show(showCommand);
        return RunMessageLoop(window);
    } catch (...) {
        return 1;
    }
}
