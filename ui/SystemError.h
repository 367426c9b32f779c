// Windows' own wording for an error code, to finish a failure's description.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex::ui {

// Decimal digits of a number, without the C runtime's formatted output and all it pulls in.
inline std::wstring DecimalText(DWORD value) {
    wchar_t digits[16];
    wchar_t* start = digits + 16;
    do {
        *--start = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::wstring(start, digits + 16);
}

inline std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"Windows error " + DecimalText(code) + L".";
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

}  // namespace tolvex::ui
