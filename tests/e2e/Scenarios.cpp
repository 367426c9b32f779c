// End-to-end scenarios: each starts the real setup.exe from a disc folder on a test drive,
// looks at its window from outside and drives it with posted clicks and keys.
//
//   tolvex_e2e <scenario> <disc folder>         a scenario against the disc's setup.exe
//   tolvex_e2e resources <executable>           the executable's resources, read from the file
//   tolvex_e2e planted-dlls <disc> <plants>     no DLL planted beside the menu is loaded
//   tolvex_e2e probe-load[-protected] <dll> <folder>   (for that scenario) one load by name
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <thread>

#include "Hardening.h"
#include "Harness.h"
#include "Resources.h"

namespace tolvex::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kCaption[] = L"Penwick Inc. QZ-7400/Simvara V1.0 Installer";
constexpr wchar_t kTestDrive[] = L"E:\\";

// Long enough for a launch that was wrongly made to have shown itself.
constexpr auto kQuietPeriod = 1500ms;

std::wstring Id(HWND hwnd) { return std::to_wstring(GetDlgCtrlID(hwnd)); }

std::wstring Describe(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L"x" +
           std::to_wstring(r.bottom - r.top);
}

bool FocusBecomes(const Menu& menu, int id) {
    return WaitFor([&] { return GetDlgCtrlID(menu.Focus()) == id; }, 5s);
}

void ExpectQuiet(Checks& check, const Menu& menu, const DiscFolder& disc, std::size_t launchesBefore,
                 const std::wstring& after) {
    std::this_thread::sleep_for(kQuietPeriod);
    check.Equal(disc.Launches().size(), launchesBefore, after + L": no installer was started");
    check.That(menu.Running() && IsWindowVisible(menu.Window()), after + L": the menu is still open");
    check.That(menu.MessageBoxes().empty(), after + L": no message box");
}

bool ScenarioWindow(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;

    check.Equal(menu.Caption(), std::wstring(kCaption), L"caption");
    const LONG style = GetWindowLongW(menu.Window(), GWL_STYLE);
    check.That((style & WS_CAPTION) == WS_CAPTION, L"has a title bar");
    check.That(style & WS_SYSMENU, L"has a system menu and close box");
    check.That(!(style & WS_THICKFRAME), L"fixed border: cannot be resized");
    check.That(!(style & WS_MAXIMIZEBOX), L"no maximize box");
    check.That(GetMenu(menu.Window()) == nullptr, L"no menu bar");

    RECT client{};
    GetClientRect(menu.Window(), &client);
    check.Equal(client.right, 384L, L"client width in pixels (5760 twips)");
    check.Equal(client.bottom, 281L, L"client height in pixels (4215 twips)");

    RECT frame{}, area{};
    GetWindowRect(menu.Window(), &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const long expectedLeft = area.left + (area.right - area.left - (frame.right - frame.left)) / 2;
    const long expectedTop = area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2;
    check.That(labs(frame.left - expectedLeft) <= 1 && labs(frame.top - expectedTop) <= 1,
               L"centred on the screen: window at " + Describe(frame) + L" in work area " + Describe(area));

    check.Equal(GetDlgCtrlID(menu.Focus()), kQz7400, L"focus at start is on the QZ-7400 button");
    return true;
}

bool ScenarioControls(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;

    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* caption;
        RECT bounds;
    };
    const Expected expected[] = {
        {kQz7400, L"Button", L"Install QZ-7400 Terminal Software", {32, 152, 32 + 321, 152 + 33}},
        {kSimvara, L"Button", L"Install Simvara Software", {32, 192, 32 + 321, 192 + 33}},
        {kExit, L"Button", L"Exit", {32, 232, 32 + 321, 232 + 33}},
        {kBanner, L"Static", L"", {32, 0, 32 + 324, 0 + 135}},
    };
    for (const Expected& e : expected) {
        HWND control = menu.Control(e.id);
        if (!check.That(control != nullptr, L"control " + std::to_wstring(e.id) + L" exists")) continue;
        check.Equal(ClassName(control), std::wstring(e.className), L"control " + std::to_wstring(e.id) + L" class");
        check.Equal(WindowText(control), std::wstring(e.caption), L"control " + std::to_wstring(e.id) + L" caption");
        const RECT r = RectInParent(control);
        check.That(EqualRect(&r, &e.bounds) != FALSE,
                   L"control " + std::to_wstring(e.id) + L" at " + Describe(r) + L", expected " + Describe(e.bounds));
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (e.id == kBanner) {
            check.That(!(style & WS_TABSTOP), L"the banner is no tab stop");
            check.That((style & SS_TYPEMASK) == SS_BITMAP, L"the banner shows a bitmap");
            check.That(GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, L"the banner has a sunken border");
            RECT inside{};
            GetClientRect(control, &inside);
            check.That(inside.right == 320 && inside.bottom == 131,
                       L"the banner's picture area is 320x131 inside its 2-pixel border: " + Describe(inside));
        } else {
            check.That(style & WS_TABSTOP, L"button " + std::to_wstring(e.id) + L" is a tab stop");
            check.Equal(style & BS_TYPEMASK, static_cast<LONG>(BS_PUSHBUTTON),
                        L"button " + std::to_wstring(e.id) + L" is a plain push button, not a default one");
            check.That(std::wstring(e.caption).find(L'&') == std::wstring::npos, L"caption has no access key");
        }
    }

    std::wstring order;
    for (HWND child : Children(menu.Window())) order += Id(child) + L" ";
    check.Equal(order, std::wstring(L"100 101 200 104 "), L"tab order: QZ-7400, Exit, banner, Simvara");
    return true;
}

// The layout at the session's display density: every rectangle from the twips table,
// 1440 twips to the inch, and the banner's picture scaled to fill its box.
bool ScenarioLayout(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    Print(L"  at " + std::to_wstring(dpi) + L" dpi");
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };

    RECT client{};
    GetClientRect(menu.Window(), &client);
    check.That(client.right == px(5760) && client.bottom == px(4215),
               L"client area 5760 x 4215 twips: " + Describe(client));

    struct Twips {
        int id, left, top, width, height;
    };
    const Twips controls[] = {{kQz7400, 480, 2280, 4815, 495},
                              {kSimvara, 480, 2880, 4815, 495},
                              {kExit, 480, 3480, 4815, 495},
                              {kBanner, 480, 0, 4860, 2025}};
    for (const Twips& t : controls) {
        const RECT expected{px(t.left), px(t.top), px(t.left + t.width), px(t.top + t.height)};
        const RECT actual = RectInParent(menu.Control(t.id));
        check.That(EqualRect(&actual, &expected) != FALSE, L"control " + std::to_wstring(t.id) + L" at " +
                                                               Describe(actual) + L", expected " + Describe(expected));
    }

    // The banner's foot is a band from navy to red across its whole width: read on the screen,
    // the last pixels inside the border are red only if the picture fills the box.
    HWND banner = menu.Control(kBanner);
    RECT inside{};
    GetClientRect(banner, &inside);
    POINT corner{inside.right - 2, inside.bottom - 2};
    ClientToScreen(banner, &corner);
    SetForegroundWindow(menu.Window());
    COLORREF colour = CLR_INVALID;
    const bool red = WaitFor(
        [&] {
            colour = GetPixel(screen, corner.x, corner.y);
            return colour != CLR_INVALID && GetRValue(colour) > 150 && GetGValue(colour) < 90 && GetBValue(colour) < 90;
        },
        5s);
    check.That(red, L"the banner's picture reaches its box's far corner (pixel " + std::to_wstring(GetRValue(colour)) +
                        L"," + std::to_wstring(GetGValue(colour)) + L"," + std::to_wstring(GetBValue(colour)) + L")");
    // Smooth scaling: across the logo's "P", whose white strokes meet navy with hard edges in
    // the picture, a resampled copy shows blended pixels. The system's own stretching of a
    // bitmap (Wine stretches a static's picture to fit) copies pixels and shows none.
    int blended = 0;
    for (int x = 30; x <= 94; ++x) {
        POINT at{MulDiv(x, inside.right, 320), MulDiv(40, inside.bottom, 131)};
        ClientToScreen(banner, &at);
        const COLORREF c = GetPixel(screen, at.x, at.y);
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        const int fromWhite = (255 - r) + (255 - g) + (255 - b);
        const int fromNavy = abs(r - 27) + abs(g - 47) + abs(b - 94);
        if (fromWhite > 60 && fromNavy > 60) ++blended;
    }
    if (dpi == 96) {
        check.Equal(blended, 0, L"at 96 dpi the picture is shown at its own size, pixel for pixel");
    } else {
        check.That(blended > 0, L"the picture is resampled smoothly to its box (" + std::to_wstring(blended) +
                                    L" blended pixels across the logo)");
    }
    ReleaseDC(nullptr, screen);
    return true;
}

bool ScenarioKeyboard(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;
    check.Equal(GetDlgCtrlID(menu.Focus()), kQz7400, L"focus at start on QZ-7400");

    // Escape, then Tab: once the focus has moved, Escape has been handled too.
    menu.PostKey(VK_ESCAPE);
    menu.PostKey(VK_TAB);
    check.That(FocusBecomes(menu, kExit), L"Tab moves the focus from QZ-7400 to Exit");
    ExpectQuiet(check, menu, disc, 0, L"Escape");

    menu.PostKey(VK_TAB);
    check.That(FocusBecomes(menu, kSimvara), L"Tab skips the banner and reaches Simvara");
    menu.PostKey(VK_TAB);
    check.That(FocusBecomes(menu, kQz7400), L"Tab wraps round to QZ-7400");

    menu.PostKey(VK_RETURN);
    check.That(disc.WaitForLaunches(1), L"Enter on the focused QZ-7400 button starts an installer");
    auto launches = disc.Launches();
    if (!launches.empty()) check.Equal(launches[0].path, disc.File(L"Setup_QZ-7400.exe"), L"Enter started");

    // The installer's window has taken the front; bring the menu back, as the user would.
    WaitFor([&] { return GetForegroundWindow() != menu.Window(); }, 5s);
    SetForegroundWindow(menu.Window());
    check.That(FocusBecomes(menu, kQz7400), L"back in front, the focus is on QZ-7400");
    menu.PostKey(VK_TAB);
    menu.PostKey(VK_TAB);
    check.That(FocusBecomes(menu, kSimvara), L"Tab twice reaches Simvara");
    menu.PostKey(VK_SPACE);
    check.That(disc.WaitForLaunches(2), L"Space on the focused Simvara button starts an installer");
    launches = disc.Launches();
    if (launches.size() >= 2) check.Equal(launches[1].path, disc.File(L"SimvaraSetup.exe"), L"Space started");
    check.That(menu.Running(), L"the menu stays open");
    return true;
}

// Keys typed as the keyboard would, to the foreground window: Shift+Tab needs the real
// keyboard state, which posted messages do not carry.
void TypeKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool ScenarioFocus(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;
    check.That(WaitFor([&] { return GetForegroundWindow() == menu.Window(); }, 5s), L"the menu is in front");

    TypeKeys({{VK_SHIFT, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_SHIFT, false}});
    check.That(FocusBecomes(menu, kSimvara), L"Shift+Tab moves the focus back from QZ-7400 to Simvara");
    TypeKeys({{VK_SHIFT, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_SHIFT, false}});
    check.That(FocusBecomes(menu, kExit), L"Shift+Tab again reaches Exit");

    // An installer's window takes the front; when the menu comes back, the focus is on the
    // first button again.
    menu.Click(kSimvara);
    check.That(disc.WaitForLaunches(1), L"an installer is started");
    check.That(WaitFor([&] { return GetForegroundWindow() != menu.Window(); }, 10s), L"the installer takes the front");
    SetForegroundWindow(menu.Window());
    check.That(WaitFor([&] { return GetForegroundWindow() == menu.Window(); }, 5s), L"the menu is brought back");
    check.That(FocusBecomes(menu, kQz7400), L"re-activated, the menu has the focus on QZ-7400");
    return true;
}

bool ScenarioInert(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;

    HWND banner = menu.Control(kBanner);
    PostMessageW(banner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 60));
    PostMessageW(banner, WM_LBUTTONUP, 0, MAKELPARAM(100, 60));
    PostMessageW(banner, BM_CLICK, 0, 0);
    ExpectQuiet(check, menu, disc, 0, L"clicking the banner");

    // Commands a menu could wrongly take for a button: the dialog manager's Escape and Enter
    // with no button focused.
    menu.PostToWindow(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ExpectQuiet(check, menu, disc, 0, L"IDCANCEL");
    return true;
}

bool ScenarioLaunchFromRoot(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;

    menu.Click(kQz7400);
    check.That(disc.WaitForLaunches(1), L"QZ-7400 button starts an installer");
    menu.Click(kSimvara);
    check.That(disc.WaitForLaunches(2), L"Simvara button starts an installer");
    menu.Click(kQz7400);
    check.That(disc.WaitForLaunches(3), L"a second click on QZ-7400 starts it again");

    const auto launches = disc.Launches();
    if (check.Equal(launches.size(), std::size_t{3}, L"three launches")) {
        check.Equal(launches[0].path, std::wstring(L"E:\\Setup_QZ-7400.exe"), L"first launch");
        check.Equal(launches[1].path, std::wstring(L"E:\\SimvaraSetup.exe"), L"second launch");
        check.Equal(launches[2].path, std::wstring(L"E:\\Setup_QZ-7400.exe"), L"third launch");
    }
    ExpectQuiet(check, menu, disc, 3, L"after the launches");
    check.Equal(menu.Caption(), std::wstring(kCaption), L"the menu is unchanged");
    return true;
}

bool ScenarioLaunchFromFolders(Checks& check, const std::wstring& sourceDisc) {
    const wchar_t* folders[] = {L"E:\\disk1", L"E:\\Penwick Disc 1", L"E:\\Disque num\u00e9ro 1 \u00e0 \u00fc"};
    for (const wchar_t* folder : folders) {
        DiscFolder disc(sourceDisc, folder);
        Menu menu(disc);
        if (!check.That(menu.Started(), std::wstring(L"the menu starts in ") + folder)) continue;
        ExpectBothInstallersStart(check, menu, disc, folder);
    }
    return true;
}

bool ScenarioExit(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu's window appears")) return false;

    menu.Click(kSimvara);
    check.That(disc.WaitForLaunches(1), L"an installer is started");
    menu.Click(kExit);
    check.That(menu.WaitForExit(), L"Exit ends the program");
    check.Equal(menu.ExitCode(), DWORD{0}, L"exit code");
    const auto launches = disc.Launches();
    if (!launches.empty()) check.That(ProcessRunning(launches[0].processId), L"the started installer keeps running");

    struct Closing {
        const wchar_t* how;
        UINT message;
        WPARAM wParam;
    };
    for (const Closing& closing :
         {Closing{L"the close box", WM_SYSCOMMAND, SC_CLOSE}, Closing{L"WM_CLOSE", WM_CLOSE, 0}}) {
        Menu another(disc);
        if (!check.That(another.Started(), L"another menu starts")) continue;
        another.PostToWindow(closing.message, closing.wParam, 0);
        check.That(another.WaitForExit(), std::wstring(closing.how) + L" ends the program");
        check.Equal(another.ExitCode(), DWORD{0}, L"exit code");
    }
    return true;
}

bool ScenarioTwoMenus(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, kTestDrive);
    Menu first(disc);
    Menu second(disc);
    if (!check.That(first.Started() && second.Started(), L"two menus open at once")) return false;
    check.That(first.Window() != second.Window() && first.ProcessId() != second.ProcessId(),
               L"they are independent processes and windows");

    second.Click(kSimvara);
    check.That(disc.WaitForLaunches(1), L"the second menu launches");
    first.Click(kExit);
    check.That(first.WaitForExit(), L"the first menu exits");
    check.That(second.Running(), L"the second menu is still running");
    second.Click(kQz7400);
    check.That(disc.WaitForLaunches(2), L"the second menu still launches");
    return true;
}

bool ScenarioUnrepresentableFolder(Checks& check, const std::wstring& sourceDisc) {
    // Greek letters have no place in the Western code page: the shell must not be handed a
    // path with '?' in their stead.
    DiscFolder disc(sourceDisc, L"E:\\\u0394\u03af\u03c3\u03ba\u03bf\u03c2 1");
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu starts in a folder named in Greek")) return false;

    for (int button : {kQz7400, kSimvara}) {
        menu.Click(button);
        std::vector<HWND> boxes;
        const bool shown = WaitFor([&] { return !(boxes = menu.MessageBoxes()).empty(); });
        if (!check.That(shown, L"a warning box appears for button " + std::to_wstring(button))) continue;
        HWND box = boxes[0];
        check.Equal(WindowText(box), std::wstring(L"Tolvex"), L"the warning's title");
        int buttons = 0;
        HWND ok = nullptr;
        std::wstring text;
        for (HWND child : Children(box)) {
            if (!IsWindowVisible(child)) continue;
            if (ClassName(child) == L"Button") {
                ++buttons;
                ok = child;
            } else if (ClassName(child) == L"Static") {
                text += WindowText(child);
            }
        }
        check.Equal(buttons, 1, L"the warning has a single button");
        check.Equal(GetDlgCtrlID(ok), IDOK, L"and it is OK");
        const std::wstring file = button == kQz7400 ? L"Setup_QZ-7400.exe" : L"SimvaraSetup.exe";
        check.That(text.find(disc.File(file)) != std::wstring::npos, L"the warning names the path: " + text);
        check.That(!IsWindowEnabled(menu.Window()), L"the menu takes no clicks while the warning is open");
        PostMessageW(ok, BM_CLICK, 0, 0);
        check.That(WaitFor([&] { return menu.MessageBoxes().empty(); }), L"OK dismisses the warning");
        check.That(WaitFor([&] { return IsWindowEnabled(menu.Window()) != FALSE; }), L"the menu is enabled again");
    }
    check.Equal(disc.Launches().size(), std::size_t{0}, L"nothing was launched");
    menu.Click(kExit);
    check.That(menu.WaitForExit(), L"the menu still works: Exit ends it");
    return true;
}

}  // namespace
}  // namespace tolvex::e2e

int wmain(int argc, wchar_t** argv) {
    using namespace tolvex::e2e;
    using Scenario = bool (*)(Checks&, const std::wstring&);
    const std::map<std::wstring, Scenario> scenarios = {
        {L"window", ScenarioWindow},
        {L"controls", ScenarioControls},
        {L"layout", ScenarioLayout},
        {L"keyboard", ScenarioKeyboard},
        {L"focus", ScenarioFocus},
        {L"inert", ScenarioInert},
        {L"launch-root", ScenarioLaunchFromRoot},
        {L"launch-folders", ScenarioLaunchFromFolders},
        {L"exit", ScenarioExit},
        {L"two-menus", ScenarioTwoMenus},
        {L"unrepresentable-folder", ScenarioUnrepresentableFolder},
        {L"resources", CheckExecutableResources},
        {L"shell-binding", ScenarioShellBinding},
        {L"second-drive", ScenarioSecondDrive},
        {L"long-path", ScenarioLongPath},
        {L"missing-installer", ScenarioMissingInstaller},
        {L"click-burst", ScenarioClickBurst},
    };
    const std::wstring name = argc > 1 ? argv[1] : L"";
    if ((name == L"probe-load" || name == L"probe-load-protected") && argc == 4) {
        return ProbeLoad(argv[2], argv[3], name == L"probe-load-protected");
    }
    const bool planted = name == L"planted-dlls" && argc == 4;
    if (!planted && (argc != 3 || !scenarios.count(name))) {
        Print(L"usage: tolvex_e2e <scenario> <disc folder or executable>");
        return 2;
    }
    // Sees the display as the menu does, pixel for pixel, at any density.
    SetProcessDPIAware();
    Checks check;
    Print(L"scenario " + name);
    if (planted) {
        ScenarioPlantedDlls(check, argv[2], argv[3]);
    } else {
        scenarios.at(name)(check, argv[2]);
    }
    Print(std::to_wstring(check.Passed()) + L" passed, " + std::to_wstring(check.Failed()) + L" failed");
    return check.Failed() == 0 && check.Passed() > 0 ? 0 : 1;
}
