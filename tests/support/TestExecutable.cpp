#include "support/TestExecutable.h"

#include <windows.h>

#include <string>

std::filesystem::path TestExecutable::directory()
{
    std::wstring name(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    name.resize(length);
    return std::filesystem::path(name).parent_path();
}
