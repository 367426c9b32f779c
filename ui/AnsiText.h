// Unicode to the system's ANSI code page, for the one narrow shell call.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolvex::ui {

// The text in the ANSI code page, character for character. Nothing when some character has no
// exact equivalent there: a '?' or a best-fit look-alike would name another file. Raises a
// PlatformFailure if Windows cannot convert at all. Only the installer's launch uses it, and
// its failures say so.
std::optional<std::string> ToAnsiCodePage(std::wstring_view text);

}  // namespace tolvex::ui
