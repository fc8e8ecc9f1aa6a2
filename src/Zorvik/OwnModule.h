#pragma once

#include <windows.h>

#include <string>

namespace Zorvik::detail {

// The module this code was linked into: the plugin DLL in the game, the test
// executable in tests.
[[nodiscard]] HMODULE own_module() noexcept;

// The full file name of that module, or empty when the system gives none.
[[nodiscard]] std::wstring own_module_file_name();

}  // namespace Zorvik::detail
