// The launcher's platform operations, carried out by Windows.
#pragma once

#include "launcher/PlatformServices.h"
#include "ui/MainWindow.h"
#include "ui/ShellExecuteBinding.h"

namespace tolvex::ui {

class DesktopPlatform final : public PlatformServices {
public:
    explicit DesktopPlatform(MainWindow& window, ShellExecuteBinding binding = ShellExecuteBinding())
        : window_(window), shellExecute_(binding) {}

    std::wstring CurrentDirectory() override;
    WindowHandle MainWindowHandle() override;
    std::intptr_t ShellOpen(const LaunchRequest& request) override;
    int ShowMessage(const std::wstring& text, unsigned style, const std::wstring& title) override;
    void CloseMainWindow() override;

private:
    MainWindow& window_;
    ShellExecuteBinding shellExecute_;
};

}  // namespace tolvex::ui
