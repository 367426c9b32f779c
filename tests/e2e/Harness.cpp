#include "Harness.h"

#include <cstdio>
#include <thread>

namespace tolvex::e2e {
namespace {

constexpr wchar_t kMainClass[] = L"TolvexMainWindow";

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return L"";
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return "";
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

void CreateFolders(const std::wstring& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
}

struct FindMain {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<FindMain*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == find->processId && ClassName(hwnd) == kMainClass && IsWindowVisible(hwnd)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct FindBoxes {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK FindMessageBoxes(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<FindBoxes*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == find->processId && ClassName(hwnd) == L"#32770" && IsWindowVisible(hwnd)) find->found.push_back(hwnd);
    return TRUE;
}

LPARAM KeyLParam(WORD virtualKey, bool up) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan) << 16);
    if (up) lParam |= (1u << 30) | (1u << 31);
    return lParam;
}

}  // namespace

void Print(const std::wstring& line) {
    const std::string utf8 = ToUtf8(line + L"\n");
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

bool Checks::That(bool condition, const std::wstring& what) {
    if (condition) {
        ++passed_;
        Print(L"  ok    " + what);
    } else {
        ++failed_;
        Print(L"  FAIL  " + what);
    }
    return condition;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

DiscFolder::DiscFolder(const std::wstring& sourceDisc, const std::wstring& folder) : folder_(folder) {
    CreateFolders(folder);
    for (const wchar_t* name : {L"setup.exe", L"Setup_QZ-7400.exe", L"SimvaraSetup.exe"}) {
        CopyFileW((sourceDisc + L"\\" + name).c_str(), File(name).c_str(), FALSE);
    }
    static int serial = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    log_ = std::wstring(temp) + L"tolvex-launches-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++serial) + L".log";
    DeleteFileW(log_.c_str());
}

DiscFolder::~DiscFolder() {
    for (const Launch& launch : Launches()) EndProcess(launch.processId);
}

std::wstring DiscFolder::File(const std::wstring& name) const {
    if (!folder_.empty() && folder_.back() == L'\\') return folder_ + name;
    return folder_ + L"\\" + name;
}

std::vector<Launch> DiscFolder::Launches() const {
    std::vector<Launch> launches;
    HANDLE file =
        CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return launches;
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
    CloseHandle(file);
    std::size_t start = 0;
    for (std::size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = content.substr(start, end - start);
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        launches.push_back(Launch{static_cast<DWORD>(std::stoul(line.substr(0, tab))), FromUtf8(line.substr(tab + 1))});
    }
    return launches;
}

bool DiscFolder::WaitForLaunches(std::size_t count, std::chrono::milliseconds timeout) const {
    return WaitFor([&] { return Launches().size() >= count; }, timeout);
}

Menu::Menu(const DiscFolder& disc, const std::wstring& executable) {
    SetEnvironmentVariableW(L"TOLVEX_STANDIN_LOG", disc.LogPath().c_str());
    const std::wstring path = executable.empty() ? disc.File(L"setup.exe") : executable;
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, disc.Path().c_str(),
                        &startup, &info)) {
        Print(L"  cannot start " + path + L": error " + std::to_wstring(GetLastError()));
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    WaitForInputIdle(process_, 20000);
    FindMain find{processId_, nullptr};
    WaitFor([&] {
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
        return find.found != nullptr;
    });
    hwnd_ = find.found;
    if (hwnd_) threadId_ = GetWindowThreadProcessId(hwnd_, nullptr);
    // Let the window finish showing and take the focus before anything is posted to it.
    WaitFor([&] { return Focus() != nullptr; }, std::chrono::seconds(5));
}

Menu::~Menu() {
    if (process_) {
        if (Running()) TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
}

HWND Menu::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(threadId_, &info)) return nullptr;
    return info.hwndFocus;
}

std::wstring Menu::Caption() const { return WindowText(hwnd_); }

void Menu::Click(int controlId) const { PostMessageW(Control(controlId), BM_CLICK, 0, 0); }

void Menu::PostKey(WORD virtualKey) const {
    HWND target = Focus();
    if (!target) target = hwnd_;
    PostMessageW(target, WM_KEYDOWN, virtualKey, KeyLParam(virtualKey, false));
    PostMessageW(target, WM_KEYUP, virtualKey, KeyLParam(virtualKey, true));
}

void Menu::PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) const {
    PostMessageW(hwnd_, message, wParam, lParam);
}

bool Menu::WaitForExit(std::chrono::milliseconds timeout) {
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Menu::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool Menu::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

std::vector<HWND> Menu::MessageBoxes() const {
    FindBoxes find{processId_, {}};
    EnumWindows(FindMessageBoxes, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

void ExpectBothInstallersStart(Checks& check, const Menu& menu, const DiscFolder& disc, const std::wstring& where) {
    const std::size_t before = disc.Launches().size();
    menu.Click(kQz7400);
    disc.WaitForLaunches(before + 1);
    menu.Click(kSimvara);
    check.That(disc.WaitForLaunches(before + 2), where + L": both installers start");
    const auto launches = disc.Launches();
    if (check.Equal(launches.size(), before + 2, where + L": two launches")) {
        check.Equal(launches[before].path, disc.File(L"Setup_QZ-7400.exe"), where + L": QZ-7400 path");
        check.Equal(launches[before + 1].path, disc.File(L"SimvaraSetup.exe"), where + L": Simvara path");
    }
    check.That(menu.MessageBoxes().empty(), where + L": no warning");
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[1024] = L"";
    // Reads the caption without sending the window a message.
    InternalGetWindowText(hwnd, text, 1024);
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

RECT RectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

bool ProcessRunning(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

void EndProcess(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

}  // namespace tolvex::e2e
