// Scenarios against a hostile setting: DLLs planted under system names, the shell binding's
// failures, and folders a user may start the menu from.
#include "Hardening.h"

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "launcher/PlatformServices.h"
#include "ui/DllSearch.h"
#include "ui/ShellExecuteBinding.h"

namespace tolvex::e2e {
namespace {

using namespace std::chrono_literals;

// Names that the menu, or the system libraries it uses, load by name. version.dll is left out:
// Wine's own user32 imports it, so a plant of that name loads before the program's first line.
const wchar_t* const kPlantedNames[] = {L"shell32.dll", L"uxtheme.dll", L"dwmapi.dll", L"comctl32.dll"};
constexpr wchar_t kControlName[] = L"dwmapi.dll";

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring ReadUtf8File(const std::wstring& path) {
    std::string content;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return L"";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
    CloseHandle(file);
    if (content.empty()) return L"";
    std::wstring wide(content.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, content.data(), static_cast<int>(content.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

struct PlantRecord {
    std::wstring dll;
    std::wstring program;
};

std::vector<PlantRecord> PlantRecords(const std::wstring& log) {
    std::vector<PlantRecord> records;
    const std::wstring text = ReadUtf8File(log);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring line = text.substr(start, end - start);
        const std::size_t tab = line.find(L'\t');
        if (tab != std::wstring::npos) records.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return records;
}

void Plant(const std::wstring& plantsDir, const std::wstring& folder) {
    for (const wchar_t* name : kPlantedNames) {
        CopyFileW((plantsDir + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE);
    }
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Runs a copy of this driver, placed in FOLDER, as "probe-load NAME FOLDER": a program that
// loads NAME by name, the ordinary way, or ("probe-load-protected") after restricting its DLL
// search as the menu does. The folder a program starts from comes first in the standard
// search; the current directory only after System32.
DWORD RunProbe(const std::wstring& name, const std::wstring& folder, bool protectedLoad) {
    const std::wstring probe = folder + L"\\probe.exe";
    CopyFileW(OwnPath().c_str(), probe.c_str(), FALSE);
    std::wstring commandLine = L"\"" + probe + (protectedLoad ? L"\" probe-load-protected " : L"\" probe-load ") +
                               name + L" \"" + folder + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return ~DWORD{0};
    }
    WaitForSingleObject(info.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}

void UsePlantOverrides(const std::wstring& log) {
    // Wine prefers its builtin DLLs; native-then-builtin makes it take a file of that name found
    // on the search path, as Windows does for DLLs that are not KnownDLLs.
    std::wstring overrides = L"mscoree,mshtml=;";
    for (const wchar_t* name : kPlantedNames) {
        std::wstring base(name);
        overrides += base.substr(0, base.size() - 4) + L",";
    }
    overrides.back() = L'=';
    overrides += L"n,b";
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides.c_str());
    SetEnvironmentVariableW(L"TOLVEX_PLANT_LOG", log.c_str());
}

// A loader for the binding's tests; what it does is chosen before each call.
enum class LoaderMode { Fail, Real, NoEntry };
LoaderMode g_loaderMode = LoaderMode::Fail;
int g_loaderCalls = 0;

HMODULE TestLoader(const wchar_t* name) {
    ++g_loaderCalls;
    switch (g_loaderMode) {
        case LoaderMode::Fail:
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        case LoaderMode::Real:
            return ui::LoadFromSystemDirectory(name);
        case LoaderMode::NoEntry:
            return ui::LoadFromSystemDirectory(L"kernel32.dll");  // loads, but has no ShellExecuteA
    }
    return nullptr;
}

std::wstring FailureOf(ui::ShellExecuteBinding& binding) {
    try {
        binding.Get();
        return L"";
    } catch (const PlatformFailure& failure) {
        return failure.Description();
    }
}

}  // namespace

int ProbeLoad(const std::wstring& name, const std::wstring& folder, bool protectedLoad) {
    if (protectedLoad) ui::RestrictDllSearchToSystem32();
    SetCurrentDirectoryW(folder.c_str());
    HMODULE module = LoadLibraryW(name.c_str());
    if (module) FreeLibrary(module);
    return 0;
}

bool ScenarioPlantedDlls(Checks& check, const std::wstring& sourceDisc, const std::wstring& plantsDir) {
    const std::wstring log = L"E:\\plant-loads.log";
    DeleteFileW(log.c_str());
    UsePlantOverrides(log);

    // The control case: an ordinary load of each name, from a folder holding the plants, picks
    // the plant up. Without it, finding no record below would prove nothing.
    DiscFolder control(sourceDisc, L"E:\\control");
    Plant(plantsDir, control.Path());
    // dwmapi.dll is the name that proves it; the others are only reported, since the system may
    // never take them from a program's folder (a known DLL, or one loaded before any plant).
    const auto plantLoaded = [&](const wchar_t* name) {
        bool loaded = false;
        for (const PlantRecord& record : PlantRecords(log)) {
            loaded = loaded || record.dll == control.Path() + L"\\" + name;
        }
        return loaded;
    };
    for (const wchar_t* name : kPlantedNames) {
        RunProbe(name, control.Path(), false);
        const bool loaded = plantLoaded(name);
        if (std::wstring(name) == kControlName) {
            check.That(loaded, std::wstring(L"control: an unprotected program loads the planted ") + name);
        } else {
            Print(std::wstring(L"  note  an unprotected program ") + (loaded ? L"loads" : L"does not load") +
                  L" the planted " + name);
        }
    }
    DeleteFileW(log.c_str());

    // The same load after the menu's restriction of the DLL search finds System32's DLL.
    RunProbe(kControlName, control.Path(), true);
    check.That(!plantLoaded(kControlName),
               std::wstring(L"with the menu's DLL search, the same load leaves the planted ") + kControlName);
    DeleteFileW(log.c_str());

    // The menu beside the plants and in a current directory holding them too; then the menu in
    // one folder and the disc, with more plants, as its current directory.
    DiscFolder beside(sourceDisc, L"E:\\planted");
    Plant(plantsDir, beside.Path());
    DiscFolder disc(sourceDisc, L"E:\\planted-disc");
    Plant(plantsDir, disc.Path());
    struct Case {
        const DiscFolder& folder;
        std::wstring executable;
        const wchar_t* what;
    };
    const Case cases[] = {{beside, beside.File(L"setup.exe"), L"menu beside the plants"},
                          {disc, beside.File(L"setup.exe"), L"menu elsewhere, plants in its current directory"}};
    for (const Case& c : cases) {
        Menu menu(c.folder, c.executable);
        if (!check.That(menu.Started(), std::wstring(c.what) + L": the menu starts")) continue;
        ExpectBothInstallersStart(check, menu, c.folder, c.what);
        menu.Click(kExit);
        check.That(menu.WaitForExit(), std::wstring(c.what) + L": Exit ends it");
    }
    std::wstring loads;
    for (const PlantRecord& record : PlantRecords(log)) {
        if (record.program.size() >= 10 && record.program.substr(record.program.size() - 10) == L"\\setup.exe") {
            loads += record.dll + L" ";
        }
    }
    check.That(loads.empty(), L"the menu loaded no planted DLL" + (loads.empty() ? L"" : L": " + loads));
    SetEnvironmentVariableW(L"TOLVEX_PLANT_LOG", nullptr);
    return true;
}

bool ScenarioShellBinding(Checks& check, const std::wstring&) {
    ui::ShellExecuteBinding binding(&TestLoader);

    g_loaderMode = LoaderMode::Fail;
    const std::wstring failure = FailureOf(binding);
    check.That(failure.find(L"shell32.dll") != std::wstring::npos &&
                   failure.find(L"could not be loaded") != std::wstring::npos,
               L"a library that does not load is a failure naming shell32.dll: " + failure);
    check.That(!binding.IsBound(), L"after a failed binding nothing is held");
    check.Equal(g_loaderCalls, 1, L"the loader was asked once");

    g_loaderMode = LoaderMode::Real;
    ui::ShellExecuteAFunction bound = nullptr;
    try {
        bound = binding.Get();
    } catch (const PlatformFailure& f) {
        check.That(false, L"binding from System32 failed: " + f.Description());
    }
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    const FARPROC expected = shell ? GetProcAddress(shell, "ShellExecuteA") : nullptr;
    check.That(bound != nullptr && reinterpret_cast<void*>(bound) == reinterpret_cast<void*>(expected),
               L"the next launch binds ShellExecuteA from shell32.dll");
    check.Equal(g_loaderCalls, 2, L"the loader was asked again after the failure");

    g_loaderMode = LoaderMode::Fail;
    bool sameAgain = false;
    try {
        sameAgain = binding.Get() == bound;
    } catch (const PlatformFailure&) {
    }
    check.That(sameAgain, L"once bound, the held address serves");
    check.Equal(g_loaderCalls, 2, L"and the library is not looked up again");

    ui::ShellExecuteBinding noEntry(&TestLoader);
    g_loaderMode = LoaderMode::NoEntry;
    const std::wstring missing = FailureOf(noEntry);
    check.That(missing.find(L"has no function ShellExecuteA") != std::wstring::npos,
               L"a library without the entry gives its own description: " + missing);
    check.That(!noEntry.IsBound(), L"and holds nothing");

    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    wchar_t loadedFrom[MAX_PATH] = L"";
    if (shell) GetModuleFileNameW(shell, loadedFrom, MAX_PATH);
    check.That(lstrcmpiW(Folder(loadedFrom).c_str(), system) == 0,
               std::wstring(L"shell32.dll came from System32: ") + loadedFrom);
    return true;
}

bool ScenarioSecondDrive(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, L"F:\\");
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu starts at the root of drive F:")) return false;
    check.Equal(disc.File(L"SimvaraSetup.exe"), std::wstring(L"F:\\SimvaraSetup.exe"), L"the disc is the drive's root");
    ExpectBothInstallersStart(check, menu, disc, L"F:\\");
    return true;
}

bool ScenarioLongPath(Checks& check, const std::wstring& sourceDisc) {
    // A current directory of 240 characters: the installers' paths are 257 and 258 long, just
    // inside the 260-character limit of the narrow shell call.
    std::wstring folder = L"E:\\" + std::wstring(118, L'L') + L"\\";
    folder += std::wstring(240 - folder.size(), L'p');
    DiscFolder disc(sourceDisc, folder);
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu starts in a folder of 240 characters")) return false;
    check.Equal(disc.File(L"Setup_QZ-7400.exe").size(), std::size_t{258}, L"the QZ-7400 installer's path length");
    ExpectBothInstallersStart(check, menu, disc, L"240-character folder");
    return true;
}

bool ScenarioMissingInstaller(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, L"E:\\incomplete");
    DeleteFileW(disc.File(L"Setup_QZ-7400.exe").c_str());
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu starts with one installer missing")) return false;

    menu.Click(kQz7400);
    std::this_thread::sleep_for(1500ms);
    check.Equal(disc.Launches().size(), std::size_t{0}, L"nothing starts");
    // The shell may say on its own that the file is missing; the menu itself says nothing.
    for (HWND box : menu.MessageBoxes()) {
        check.That(WindowText(box) != L"Tolvex", L"no warning from the menu: \"" + WindowText(box) + L"\"");
        for (HWND child : Children(box)) {
            if (ClassName(child) == L"Button") PostMessageW(child, BM_CLICK, 0, 0);
        }
    }
    check.That(WaitFor([&] { return menu.MessageBoxes().empty(); }), L"the shell's own message, if any, is gone");

    menu.Click(kSimvara);
    check.That(disc.WaitForLaunches(1), L"the other installer still starts");
    CopyFileW((sourceDisc + L"\\Setup_QZ-7400.exe").c_str(), disc.File(L"Setup_QZ-7400.exe").c_str(), FALSE);
    menu.Click(kQz7400);
    check.That(disc.WaitForLaunches(2), L"once the file is there, a later click starts it");
    const auto launches = disc.Launches();
    if (launches.size() == 2) check.Equal(launches[1].path, disc.File(L"Setup_QZ-7400.exe"), L"its path");
    return true;
}

bool ScenarioClickBurst(Checks& check, const std::wstring& sourceDisc) {
    DiscFolder disc(sourceDisc, L"E:\\burst");
    Menu menu(disc);
    if (!check.That(menu.Started(), L"the menu starts")) return false;
    constexpr std::size_t kClicks = 25;
    for (std::size_t i = 0; i < kClicks; ++i) menu.Click(kQz7400);
    check.That(disc.WaitForLaunches(kClicks, 120s), L"25 clicks posted at once start 25 installers");
    std::this_thread::sleep_for(1500ms);
    const auto launches = disc.Launches();
    check.Equal(launches.size(), kClicks, L"and no more");
    bool allRight = true;
    for (const Launch& launch : launches) allRight = allRight && launch.path == disc.File(L"Setup_QZ-7400.exe");
    check.That(allRight, L"each of them the QZ-7400 installer");
    check.That(menu.MessageBoxes().empty(), L"no warning");
    menu.Click(kExit);
    check.That(menu.WaitForExit(), L"the menu still answers: Exit ends it");
    return true;
}

}  // namespace tolvex::e2e
