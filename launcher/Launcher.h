// What a click on one of the menu's buttons does.
#pragma once

#include <string>
#include <string_view>

#include "MenuChoices.h"
#include "PlatformServices.h"

namespace tolvex {

struct ErrorReport {
    std::wstring description;
    std::wstring source;

    friend bool operator==(const ErrorReport&, const ErrorReport&) = default;
};

// The installer's path: the directory, one separator unless it already ends in one, and the
// file name. An empty directory gives the bare file name, which the shell resolves against the
// current directory; a leading separator would name the drive root instead.
std::wstring ComposeTargetPath(std::wstring_view directory, std::wstring_view fileName);

class Launcher {
public:
    explicit Launcher(PlatformServices& platform) : platform_(platform) {}

    // Carries out the choice of the clicked button. A failure on the way is shown as a warning
    // and goes no further; only a failure to show that warning escapes.
    void RunChoice(ChoiceIndex index);

    void ReportError(const ErrorReport& report);

private:
    void LaunchInstaller(const std::wstring& directory, std::wstring_view fileName);

    PlatformServices& platform_;
};

}  // namespace tolvex
