// What a long-running client would see grow if the plug-in leaked: the
// process's windows, its USER and GDI objects, its private memory, its
// handles and threads, and the framework's own window objects.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <string>

struct Figures {
    int windows = 0;               // top-level windows of every thread and all their children
    long userObjects = 0;          // GetGuiResources(GR_USEROBJECTS)
    long gdiObjects = 0;           // GetGuiResources(GR_GDIOBJECTS)
    long long privateBytes = 0;    // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage
    long long workingSetBytes = 0; // PROCESS_MEMORY_COUNTERS_EX.WorkingSetSize
    long long committedBytes = 0;  // private committed pages, summed over VirtualQuery
    long long heapBytes = 0;       // busy blocks of every heap of the process (HeapWalk)
    long handles = 0;              // GetProcessHandleCount
    long tableHandles = 0;         // entries of this process in the system handle table
    int threads = 0;
    int afxLive = 0; // AfxGetLiveWindowCount
    int afxTemp = 0; // AfxGetTempWindowCount
};

Figures TakeFigures();
std::string Describe(const Figures& f);

// Which figures this system reports (non-zero once the process has windows).
struct Availability {
    bool guiResources = false;
    bool privateUsage = false;
    bool handleCount = false;
};
Availability WhatIsReported(const Figures& f);

// Seconds on a monotonic clock.
double Seconds();
