/* dalvex.dll: path helpers and the version query, for programs that load the library
   and bind these exports by name. */
#ifndef DALVEX_H
#define DALVEX_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* CreateDirectoryA(path, NULL); parents are not created. */
BOOL __cdecl CreateLongPath(const char* path);

/* GetShortPathNameA(longPath, shortPath, *length); *length is only read. */
DWORD __cdecl LongToShortPath(const char* longPath, char* shortPath, const DWORD* length);

/* Writes "1.12" and its NUL (five bytes) and returns 4. */
int __cdecl GetVersionNumber(char* buffer);

/* Shows the version text in an ownerless OK box with a blank caption; returns MessageBoxA's answer. */
int __cdecl DisplayVersionNumber(void);

#ifdef __cplusplus
}
#endif

#endif
