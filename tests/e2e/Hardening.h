#pragma once

#include <string>

#include "Harness.h"

namespace tolvex::e2e {

int ProbeLoad(const std::wstring& name, const std::wstring& folder, bool protectedLoad);
bool ScenarioPlantedDlls(Checks& check, const std::wstring& sourceDisc, const std::wstring& plantsDir);
bool ScenarioShellBinding(Checks& check, const std::wstring& unused);
bool ScenarioSecondDrive(Checks& check, const std::wstring& sourceDisc);
bool ScenarioLongPath(Checks& check, const std::wstring& sourceDisc);
bool ScenarioMissingInstaller(Checks& check, const std::wstring& sourceDisc);
bool ScenarioClickBurst(Checks& check, const std::wstring& sourceDisc);

}  // namespace tolvex::e2e
