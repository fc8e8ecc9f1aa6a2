#include "settings/SettingsFileStamp.h"

// The native build runs in no game folder: there is no settings file to look
// at, and a test that wants one puts a file system of its own in place.
SettingsFileStamp StampSettingsFile()
{
    return {};
}

bool SettingsFileOpens()
{
    return false;
}
