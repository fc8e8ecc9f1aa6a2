#pragma once

#include <windows.h>

// Wine shows no message box: these take the place of the system's in
// `module`'s imports, show nothing, answer OK, and add to the child record
// "MessageBoxA owner=<null|set> type=<type> caption=<caption> text=<text>
// after <n> log lines" (the W form in UTF-8), n being the lines the plugin's
// log file held at that moment. False when the module imports no such box.
// `atTheBox`, when given, then adds what else the test needs to see while the
// box stands: a fatal report ends the process once it is closed.
bool RecordMessageBoxA(HMODULE module, void (*atTheBox)() = nullptr);
bool RecordMessageBoxW(HMODULE module, void (*atTheBox)() = nullptr);
