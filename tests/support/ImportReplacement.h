#pragma once

#include <windows.h>

// Points the import of `library`'s `function` in `module`'s import table at
// `replacement` and returns what it pointed at, or null when the module does
// not import that function. The module's calls to the system then reach the
// test, as they would in the game, with no seam in the module's code.
void* ReplaceImport(HMODULE module, const char* library, const char* function, void* replacement);
