// The floor dalvex.dll is measured against: a DLL with an entry point and one export by name.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

extern "C" __declspec(dllexport) int __cdecl MinimalExport(void)
{
    return 0;
}
