#include "ui/AnsiText.h"

#include <windows.h>

#include <climits>

#include "launcher/PlatformServices.h"
#include "ui/SystemError.h"

namespace tolvex::ui {

std::optional<std::string> ToAnsiCodePage(std::wstring_view text) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX)
        throw PlatformFailure(L"The installer cannot be started, because its path is too long to pass to Windows.");

    // Under a UTF-8 ANSI code page every character has its bytes, and Windows refuses the
    // default-character report; only broken surrogates can fail.
    const UINT codePage = GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultReport = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(text.size());

    const int needed =
        WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultReport);
    if (needed == 0) {
        const DWORD error = GetLastError();
        if (error == ERROR_NO_UNICODE_TRANSLATION) return std::nullopt;
        throw PlatformFailure(
            L"The installer cannot be started, because Windows could not convert its path to this "
            L"system's code page. " +
            SystemErrorText(error));
    }
    if (usedDefault) return std::nullopt;

    std::string narrow(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(codePage, flags, text.data(), length, narrow.data(), needed, nullptr, usedDefaultReport) !=
        needed) {
        throw PlatformFailure(
            L"The installer cannot be started, because Windows could not convert its path to this "
            L"system's code page. " +
            SystemErrorText(GetLastError()));
    }
    if (usedDefault) return std::nullopt;
    return narrow;
}

}  // namespace tolvex::ui
