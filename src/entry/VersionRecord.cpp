#include "entry/Plugin.h"

// Read by the loader before it loads the plugin, and by the log set-up for the
// log file's name. Constant-initialised: nothing runs to build it.
extern "C" __declspec(dllexport) constinit const Zorvik::PluginVersionData ZorvikPlugin_Version =
    MakePluginVersionRecord();
