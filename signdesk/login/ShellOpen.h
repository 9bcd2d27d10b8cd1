// How the panel opens an advertising link: the shell's extended execution
// call, reached through a pointer so that a test build can watch the exact
// request instead of starting a program.
#pragma once

#include <windows.h>

#include <shellapi.h>

typedef BOOL(WINAPI* PFN_SHELLEXECUTEEXW)(SHELLEXECUTEINFOW* pInfo);

// ShellExecuteExW unless replaced.
extern PFN_SHELLEXECUTEEXW g_pfnShellExecuteEx;
