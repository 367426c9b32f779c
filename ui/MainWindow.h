// The menu's only window: the banner and the three cmdInstall buttons.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "launcher/Launcher.h"
#include "ui/Handles.h"

namespace tolvex::ui {

struct MainWindowResources {
    int iconId;    // the application's icon group
    int bannerId;  // the banner bitmap
};

class MainWindow {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window, centred on the screen and still hidden. Returns false if Windows
    // refused it.
    bool Create(HINSTANCE instance, Launcher& launcher, const MainWindowResources& resources);
    void Show(int showCommand);

    // Null once the window is destroyed.
    HWND Handle() const { return hwnd_; }
    bool Destroy() { return hwnd_ && DestroyWindow(hwnd_); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnCommand(int id, int notification, HWND control);
    void OnActivate();
    void OnDestroy();

    bool CreateBanner(const RECT& bounds);
    bool CreateButton(ChoiceIndex index, const RECT& bounds);
    std::optional<ChoiceIndex> ChoiceOfButton(HWND control) const;
    int TwipsToPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }

    struct Button {
        ChoiceIndex index;
        HWND hwnd;
    };

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    Launcher* launcher_ = nullptr;
    MainWindowResources resources_{};
    int dpi_ = 96;
    UniqueFont font_;
    UniqueBitmap banner_;
    std::array<Button, 3> buttons_{};
    std::size_t buttonCount_ = 0;
    bool endedByFailure_ = false;  // torn down on a failure it could not report: quit code 1
};

}  // namespace tolvex::ui
