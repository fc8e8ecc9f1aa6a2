#include "settings/IniFile.h"

// The native build runs in no game folder: every key reads as missing, and a
// test that wants a settings file gives ReloadINI a reader of its own.
std::string ReadIniValue(std::string, std::string, std::string)
{
    return {};
}
