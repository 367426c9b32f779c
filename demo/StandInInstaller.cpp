// A stand-in for a product's installer on the demo disc: it says which product it stands for.
// When TOLVEX_STANDIN_LOG names a file, it first appends a line to it, "<process id>\t<own path>",
// so that tests can see exactly what the menu started.
#include <windows.h>

#include <string>

#ifndef STANDIN_PRODUCT
#error "STANDIN_PRODUCT names the product this installer stands for"
#endif

namespace {

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"";
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void RecordStart() {
    wchar_t logPath[MAX_PATH * 4];
    const DWORD length = GetEnvironmentVariableW(L"TOLVEX_STANDIN_LOG", logPath, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) return;

    const std::wstring line = std::to_wstring(GetCurrentProcessId()) + L"\t" + ModulePath() + L"\n";
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr, nullptr);

    // One append per line, so that installers started together never interleave their records.
    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(log);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RecordStart();
    constexpr wchar_t kText[] =
        L"This is a stand-in for the installer of "
        L"the " STANDIN_PRODUCT L". A disc made with the real installers starts them here.";
    MessageBoxW(nullptr, kText, STANDIN_PRODUCT L" Setup (demo)", MB_ICONINFORMATION | MB_OK);
    return 0;
}
