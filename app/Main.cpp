// setup.exe: the disc's start menu. One window, one thread; the program ends with the window.
#include <windows.h>

#include <cstdlib>

#include "app/resource.h"
#include "launcher/Launcher.h"
#include "ui/DesktopPlatform.h"
#include "ui/DllSearch.h"
#include "ui/MainWindow.h"

namespace {

int RunMessageLoop(const tolvex::ui::MainWindow& window) {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        // The quit code is 1 when the window closed on a failure it could not report.
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        // The dialog manager gives the buttons Tab, Shift+Tab, Enter and Space.
        HWND main = window.Handle();
        if (main && IsDialogMessageW(main, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

// The C++ runtime's default terminate handler prints the demangled type of an uncaught
// exception to a console this GUI program does not have, and links a 46 KB demangler for it.
// Ending at once is all a terminated menu can do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // First of all: no DLL planted beside the menu or in its folder may load.
    tolvex::ui::RestrictDllSearchToSystem32();
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
