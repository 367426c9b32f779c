#include "Launcher.h"

#include <new>

namespace tolvex {
namespace {

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

ErrorReport ReportFor(const PlatformFailure& failure) {
    return ErrorReport{failure.Description(), failure.Source().value_or(std::wstring(kApplicationName))};
}

ErrorReport ReportForUnexpected(std::wstring_view description) {
    return ErrorReport{std::wstring(description), std::wstring(kApplicationName)};
}

}  // namespace

std::wstring ComposeTargetPath(std::wstring_view directory, std::wstring_view fileName) {
    std::wstring path(directory);
    if (!path.empty() && !IsPathSeparator(path.back())) path += L'\\';
    path += fileName;
    return path;
}

void Launcher::RunChoice(ChoiceIndex index) {
    ErrorReport report;
    try {
        // Read on every click, before the index is looked at: an unreadable directory stops
        // Exit too.
        const std::wstring directory = platform_.CurrentDirectory();
        const MenuChoice choice = LookUpChoice(index);
        switch (choice.action) {
            case ChoiceAction::LaunchInstaller:
                LaunchInstaller(directory, choice.targetFileName);
                return;
            case ChoiceAction::CloseMenu:
                platform_.CloseMainWindow();
                return;
            case ChoiceAction::NoAction:
                return;
        }
        return;
    } catch (const PlatformFailure& failure) {
        report = ReportFor(failure);
    } catch (const std::bad_alloc&) {
        report = ReportForUnexpected(L"There is not enough memory to carry out this choice.");
    } catch (...) {
        report = ReportForUnexpected(L"An unexpected error stopped this choice.");
    }
    // Outside the capture: a failure to show the warning is the caller's to handle.
    ReportError(report);
}

void Launcher::LaunchInstaller(const std::wstring& directory, std::wstring_view fileName) {
    LaunchRequest request;
    request.owner = platform_.MainWindowHandle();
    request.verb = kOpenVerb;
    request.file = ComposeTargetPath(directory, fileName);
    request.showMode = kShowDefault;
    platform_.ShellOpen(request);  // the shell reports its own failures to open the file
}

void Launcher::ReportError(const ErrorReport& report) {
    platform_.ShowMessage(report.description, kWarningStyle, report.source);
}

}  // namespace tolvex
