// The fixed layout of the menu window, in twips (1440 to the inch; 15 to a pixel at 96 dpi).
#pragma once

#include <array>

#include "launcher/MenuChoices.h"

namespace tolvex::ui {

inline constexpr wchar_t kMainCaption[] = L"Penwick Inc. QZ-7400/Simvara V1.0 Installer";

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 5760;
inline constexpr int kClientHeightTwips = 4215;

struct TwipsRect {
    int left, top, width, height;
};

enum class ControlKind { Banner, InstallButton };

struct ControlLayout {
    ControlKind kind;
    ChoiceIndex index;  // the cmdInstall index; unused for the banner
    TwipsRect bounds;
};

// In tab order, which is also the order of creation: index 0, index 1 ("Exit"), the banner,
// index 4. Top to bottom the buttons stand 0, 4, 1.
inline constexpr std::array<ControlLayout, 4> kControlsInTabOrder{{
    {ControlKind::InstallButton, 0, {480, 2280, 4815, 495}},
    {ControlKind::InstallButton, 1, {480, 3480, 4815, 495}},
    {ControlKind::Banner, 0, {480, 0, 4860, 2025}},
    {ControlKind::InstallButton, 4, {480, 2880, 4815, 495}},
}};

// Control ids: 1 and 2 are what the dialog manager sends for Enter and Escape, so the buttons
// keep clear of them.
inline constexpr int kButtonIdBase = 100;
inline constexpr int kBannerId = 200;

constexpr int ButtonId(ChoiceIndex index) { return kButtonIdBase + index; }

}  // namespace tolvex::ui
