#include "plugin/platform.h"

// The library's entry point. Process state lives with the objects that own
// it and is made on first use, so attaching has nothing to set up yet.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
