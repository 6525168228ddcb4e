// dalvex.dll: thin wrappers over the ANSI Win32 calls; each passes its result and
// the thread's last-error value through as the call left them.
#include "dalvex.h"

namespace {

const char kVersionText[] = "1.12";
const char kBlankCaption[] = "";
const int kVersionBufferSize = 20;

// A null pointer is refused the way Win32 refuses one, instead of crashing the caller.
int RefuseNullPointer()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

extern "C" BOOL __cdecl CreateLongPath(const char* path)
{
    if (path == nullptr) return RefuseNullPointer();
    return CreateDirectoryA(path, nullptr);
}

extern "C" DWORD __cdecl LongToShortPath(const char* longPath, char* shortPath, const DWORD* length)
{
    if (longPath == nullptr || shortPath == nullptr || length == nullptr) return RefuseNullPointer();
    return GetShortPathNameA(longPath, shortPath, *length);
}

extern "C" int __cdecl GetVersionNumber(char* buffer)
{
    if (buffer == nullptr) return RefuseNullPointer();
    // The system formatter, not the C runtime one that would more than treble the library.
    return wsprintfA(buffer, "%s", kVersionText);
}

extern "C" int __cdecl DisplayVersionNumber(void)
{
    char version[kVersionBufferSize];
    GetVersionNumber(version);
    return MessageBoxA(nullptr, version, kBlankCaption, MB_OK);
}
