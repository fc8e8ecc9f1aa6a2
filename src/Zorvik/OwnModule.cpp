#include "Zorvik/OwnModule.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;  // provided by the linker, at our module's base

namespace Zorvik::detail {

HMODULE own_module() noexcept
{
    return reinterpret_cast<HMODULE>(&__ImageBase);
}

std::wstring own_module_file_name()
{
    // Long-path names exceed MAX_PATH: grow until the name fits, up to the
    // longest path the system has.
    constexpr DWORD kLongestPath = 32768;
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(own_module(), name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size() || name.size() >= kLongestPath) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace Zorvik::detail
