// A PlatformServices that records every call in order and can be told to fail any one of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "launcher/PlatformServices.h"

namespace tolvex::testing {

enum class Operation { CurrentDirectory, MainWindowHandle, ShellOpen, ShowMessage, CloseMainWindow };

struct ShownMessage {
    std::wstring text;
    unsigned style;
    std::wstring title;

    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

class FakePlatform : public PlatformServices {
public:
    static constexpr WindowHandle kMainWindow{0x5eed};

    std::wstring directory = L"D:\\";
    std::optional<Operation> failing;           // this operation raises a PlatformFailure
    std::optional<std::wstring> failureSource;  // the source that failure carries

    std::vector<Operation> calls;
    std::vector<LaunchRequest> launches;
    std::vector<ShownMessage> messages;

    std::wstring CurrentDirectory() override {
        Enter(Operation::CurrentDirectory);
        return directory;
    }
    WindowHandle MainWindowHandle() override {
        Enter(Operation::MainWindowHandle);
        return kMainWindow;
    }
    std::intptr_t ShellOpen(const LaunchRequest& request) override {
        Enter(Operation::ShellOpen);
        launches.push_back(request);
        return 2;  // the shell's "file not found": the launcher must not care
    }
    int ShowMessage(const std::wstring& text, unsigned style, const std::wstring& title) override {
        Enter(Operation::ShowMessage);
        messages.push_back({text, style, title});
        return 1;
    }
    void CloseMainWindow() override { Enter(Operation::CloseMainWindow); }

    static std::wstring DescriptionOf(Operation operation) {
        return L"fake failure of operation " + std::to_wstring(static_cast<int>(operation));
    }

private:
    void Enter(Operation operation) {
        calls.push_back(operation);
        if (failing == operation) throw PlatformFailure(DescriptionOf(operation), failureSource);
    }
};

}  // namespace tolvex::testing
