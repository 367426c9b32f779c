// Reads an executable's resources back from the file, as Windows itself would load them.
#pragma once

#include <string>

#include "Harness.h"

namespace tolvex::e2e {

bool CheckExecutableResources(Checks& check, const std::wstring& executable);

}  // namespace tolvex::e2e
