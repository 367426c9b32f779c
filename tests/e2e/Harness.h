// A small harness for driving a real setup.exe from another process: checks, waits, a disc
// folder to start it in, and the menu's window seen from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tolvex::e2e {

// The menu's controls, by id.
inline constexpr int kQz7400 = 100, kExit = 101, kSimvara = 104, kBanner = 200;

// Records each check; a scenario passes when none failed.
class Checks {
public:
    bool That(bool condition, const std::wstring& what);
    template <typename T>
    bool Equal(const T& actual, const T& expected, const std::wstring& what) {
        return That(actual == expected, what + L" (got " + Show(actual) + L", expected " + Show(expected) + L")");
    }
    int Passed() const { return passed_; }
    int Failed() const { return failed_; }

private:
    static std::wstring Show(const std::wstring& s) { return L"\"" + s + L"\""; }
    static std::wstring Show(const wchar_t* s) { return Show(std::wstring(s)); }
    template <typename T>
    static std::wstring Show(const T& value) {
        return std::to_wstring(value);
    }
    int passed_ = 0;
    int failed_ = 0;
};

void Print(const std::wstring& line);

// Polls until the condition holds or the time is up; returns the last answer.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// A folder on a test drive holding a copy of the disc, and the record its stand-in installers
// write of every start.
struct Launch {
    DWORD processId;
    std::wstring path;
};

class DiscFolder {
public:
    DiscFolder(const std::wstring& sourceDisc, const std::wstring& folder);
    ~DiscFolder();  // ends the installers started from it
    DiscFolder(const DiscFolder&) = delete;
    DiscFolder& operator=(const DiscFolder&) = delete;
    const std::wstring& Path() const { return folder_; }
    std::wstring File(const std::wstring& name) const;
    std::vector<Launch> Launches() const;
    bool WaitForLaunches(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    const std::wstring& LogPath() const { return log_; }

private:
    std::wstring folder_;
    std::wstring log_;
};

// One running menu, started in a disc folder.
class Menu {
public:
    // Starts the disc folder's setup.exe, or the one at the given full path, with the disc
    // folder as its current directory.
    explicit Menu(const DiscFolder& disc, const std::wstring& executable = L"");
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    bool Started() const { return hwnd_ != nullptr; }
    HWND Window() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    DWORD ProcessId() const { return processId_; }
    HWND Focus() const;
    std::wstring Caption() const;

    void Click(int controlId) const;
    void PostKey(WORD virtualKey) const;  // to the focused control, as the keyboard would
    void PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) const;

    // True when the process has ended within the time; its exit code is then in ExitCode().
    bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    DWORD ExitCode() const;
    bool Running() const;

    // The warning boxes the menu's process shows now.
    std::vector<HWND> MessageBoxes() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND hwnd_ = nullptr;
};

// Clicks the QZ-7400 button, then the Simvara one once the first installer has started (two
// started together may record themselves in either order), and checks that exactly these two
// installers started, from the disc folder, and that the menu showed no warning.
void ExpectBothInstallersStart(Checks& check, const Menu& menu, const DiscFolder& disc, const std::wstring& where);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
RECT RectInParent(HWND child);  // the child's outer rectangle in its parent's client coordinates
std::vector<HWND> Children(HWND parent);
bool ProcessRunning(DWORD processId);
void EndProcess(DWORD processId);

}  // namespace tolvex::e2e
