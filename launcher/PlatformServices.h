// What the launcher needs from the platform, and the records it exchanges with it.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

namespace tolvex {

// The platform's native window handle, carried opaquely.
enum class WindowHandle : std::uintptr_t {};

struct LaunchRequest {
    WindowHandle owner{};
    std::wstring verb;
    std::wstring file;
    std::optional<std::wstring> parameters;  // absent, not empty
    std::optional<std::wstring> directory;   // absent, not empty
    int showMode = 0;

    friend bool operator==(const LaunchRequest&, const LaunchRequest&) = default;
};

inline constexpr wchar_t kOpenVerb[] = L"open";
inline constexpr int kShowDefault = 10;        // SW_SHOWDEFAULT
inline constexpr unsigned kWarningStyle = 48;  // MB_ICONWARNING with a single OK button

// Raised by a platform operation that cannot do its work. The source names where the failure
// arose; a failure without one is reported under the application's name.
class PlatformFailure : public std::exception {
public:
    explicit PlatformFailure(std::wstring description, std::optional<std::wstring> source = std::nullopt)
        : description_(std::move(description)), source_(std::move(source)) {}

    const std::wstring& Description() const noexcept { return description_; }
    const std::optional<std::wstring>& Source() const noexcept { return source_; }
    const char* what() const noexcept override { return "platform operation failed"; }

private:
    std::wstring description_;
    std::optional<std::wstring> source_;
};

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // The process's current directory: a drive root with its trailing separator, any other
    // directory without one.
    virtual std::wstring CurrentDirectory() = 0;
    virtual WindowHandle MainWindowHandle() = 0;
    // Starts opening the file and returns at once; the result is the shell's own.
    virtual std::intptr_t ShellOpen(const LaunchRequest& request) = 0;
    // A modal message box; returns the button pressed.
    virtual int ShowMessage(const std::wstring& text, unsigned style, const std::wstring& title) = 0;
    virtual void CloseMainWindow() = 0;
};

}  // namespace tolvex
