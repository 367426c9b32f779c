// Where the process may load DLLs from.
#pragma once

namespace tolvex::ui {

// A disc, a download folder or a share may hold a DLL planted beside the program or in the
// current directory under a system DLL's name. After this call only System32 supplies DLLs
// loaded by name: on every system the current directory is dropped, and where the system has
// SetDefaultDllDirectories, the program's own folder too.
void RestrictDllSearchToSystem32();

}  // namespace tolvex::ui
