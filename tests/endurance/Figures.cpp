#include "Figures.h"

#include <afxwin.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hWnd, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    EnumChildWindows(hWnd, &CountChild, lParam); // every descendant
    return TRUE;
}
// Committed private memory, the way the system counts a process's private
// bytes: every committed page that is not an image or a mapped file.
long long CommittedPrivateBytes() {
    long long total = 0;
    const char* address = nullptr;
    MEMORY_BASIC_INFORMATION mbi;
    while (VirtualQuery(address, &mbi, sizeof(mbi)) == sizeof(mbi)) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            total += static_cast<long long>(mbi.RegionSize);
        const char* next = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// Bytes in busy blocks of every heap: what has been allocated and not freed.
long long HeapBytesInUse() {
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    long long total = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += static_cast<long long>(entry.cbData);
        HeapUnlock(heaps[i]);
    }
    return total;
}
} // namespace

Figures TakeFigures() {
    Figures f;
    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (hSnap != INVALID_HANDLE_VALUE) {
        THREADENTRY32 te = {};
        te.dwSize = sizeof(te);
        for (BOOL ok = Thread32First(hSnap, &te); ok; ok = Thread32Next(hSnap, &te)) {
            if (te.th32OwnerProcessID != GetCurrentProcessId())
                continue;
            ++f.threads;
            EnumThreadWindows(te.th32ThreadID, &CountTopLevel,
                              reinterpret_cast<LPARAM>(&f.windows));
        }
        CloseHandle(hSnap);
    }
    f.userObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    f.gdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                             sizeof(pmc))) {
        f.privateBytes = static_cast<long long>(pmc.PrivateUsage);
        f.workingSetBytes = static_cast<long long>(pmc.WorkingSetSize);
    }
    f.committedBytes = CommittedPrivateBytes();
    f.heapBytes = HeapBytesInUse();
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles))
        f.handles = static_cast<long>(handles);
    f.afxLive = AfxGetLiveWindowCount();
    f.afxTemp = AfxGetTempWindowCount();
    return f;
}

std::string Describe(const Figures& f) {
    char buf[512];
    snprintf(buf, sizeof(buf),
             "windows %d, USER %ld, GDI %ld, private %.1f KiB, committed %.1f KiB, heap %.1f KiB, "
             "working set %.1f KiB, handles %ld, threads %d, CWnd live %d temp %d",
             f.windows, f.userObjects, f.gdiObjects, static_cast<double>(f.privateBytes) / 1024.0,
             static_cast<double>(f.committedBytes) / 1024.0,
             static_cast<double>(f.heapBytes) / 1024.0,
             static_cast<double>(f.workingSetBytes) / 1024.0, f.handles, f.threads, f.afxLive,
             f.afxTemp);
    return buf;
}

Availability WhatIsReported(const Figures& f) {
    Availability a;
    a.guiResources = f.userObjects > 0 || f.gdiObjects > 0;
    a.privateUsage = f.privateBytes > 0;
    a.handleCount = f.handles > 0;
    return a;
}

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER q;
        QueryPerformanceFrequency(&q);
        return q;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}
