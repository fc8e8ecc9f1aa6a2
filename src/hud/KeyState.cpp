#include "hud/KeyState.h"

#include <windows.h>

bool IsKeyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}
