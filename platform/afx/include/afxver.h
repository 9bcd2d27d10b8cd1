// Export/import switch and basic types shared by every header of the
// framework layer.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#ifdef AFX_BUILDING_DLL
#define AFX_API __declspec(dllexport)
#else
#define AFX_API __declspec(dllimport)
#endif

#define AFXAPI
#define AFX_MSG_CALL

typedef struct __POSITION {
    int unused;
} * POSITION;
