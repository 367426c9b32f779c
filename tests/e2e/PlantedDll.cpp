// A DLL planted under a system DLL's name. If a program loads it, it appends
// "<its own path>\t<the program's path>" to the file that TOLVEX_PLANT_LOG names, then refuses
// to load, so that the program carries on without it.
#include <windows.h>

namespace {

void Append(const wchar_t* logPath, const wchar_t* line) {
    char utf8[4 * (2 * MAX_PATH + 4)];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, nullptr, nullptr);
    if (bytes <= 1) return;
    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, utf8, static_cast<DWORD>(bytes - 1), &written, nullptr);
    CloseHandle(log);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t logPath[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"TOLVEX_PLANT_LOG", logPath, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) {
        wchar_t line[2 * MAX_PATH + 4] = L"";
        wchar_t path[MAX_PATH] = L"";
        GetModuleFileNameW(instance, path, MAX_PATH);
        lstrcatW(line, path);
        lstrcatW(line, L"\t");
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        lstrcatW(line, path);
        lstrcatW(line, L"\n");
        Append(logPath, line);
    }
    return FALSE;
}
