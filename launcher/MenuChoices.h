// The menu's choices: which button index does what, and with which installer.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tolvex {

// Index of a button within the cmdInstall button array.
using ChoiceIndex = std::int16_t;

enum class ChoiceAction { LaunchInstaller, CloseMenu, NoAction };

struct MenuChoice {
    ChoiceIndex index;
    std::wstring_view caption;
    ChoiceAction action;
    std::wstring_view targetFileName;  // a bare file name; empty unless action is LaunchInstaller
};

// The product's name; also the title of warnings whose failure names no source.
inline constexpr std::wstring_view kApplicationName = L"Tolvex";

// Indices 2 and 3 are deliberately unassigned.
inline constexpr std::array<MenuChoice, 3> kMenuChoices{{
    {0, L"Install QZ-7400 Terminal Software", ChoiceAction::LaunchInstaller, L"Setup_QZ-7400.exe"},
    {1, L"Exit", ChoiceAction::CloseMenu, L""},
    {4, L"Install Simvara Software", ChoiceAction::LaunchInstaller, L"SimvaraSetup.exe"},
}};

// The table row for index; any index not in the table gives a NoAction row.
constexpr MenuChoice LookUpChoice(ChoiceIndex index) {
    for (const MenuChoice& choice : kMenuChoices) {
        if (choice.index == index) return choice;
    }
    return MenuChoice{index, L"", ChoiceAction::NoAction, L""};
}

}  // namespace tolvex
