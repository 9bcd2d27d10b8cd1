#include "Figures.h"

#include <afxwin.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

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
// The process's entries in the system's handle table
// (SystemExtendedHandleInformation), for systems whose
// GetProcessHandleCount answers 0.
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT objectType;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
typedef LONG(WINAPI* QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);

long HandlesInTable() {
    const ULONG kSystemExtendedHandleInformation = 64;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    QuerySystemInformation query =
        ntdll ? reinterpret_cast<QuerySystemInformation>(
                    reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
              : nullptr;
    if (!query)
        return 0;
    std::vector<char> buffer(256 * 1024);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) == kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    const HandleTable* table = reinterpret_cast<const HandleTable*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].processId == GetCurrentProcessId())
            ++count;
    return count;
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
    f.tableHandles = HandlesInTable();
    f.afxLive = AfxGetLiveWindowCount();
    f.afxTemp = AfxGetTempWindowCount();
    return f;
}

std::string Describe(const Figures& f) {
    char buf[512];
    snprintf(buf, sizeof(buf),
             "windows %d, USER %ld, GDI %ld, private %.1f KiB, committed %.1f KiB, heap %.1f KiB, "
             "working set %.1f KiB, handles %ld (table %ld), threads %d, CWnd live %d temp %d",
             f.windows, f.userObjects, f.gdiObjects, static_cast<double>(f.privateBytes) / 1024.0,
             static_cast<double>(f.committedBytes) / 1024.0,
             static_cast<double>(f.heapBytes) / 1024.0,
             static_cast<double>(f.workingSetBytes) / 1024.0, f.handles, f.tableHandles, f.threads,
             f.afxLive, f.afxTemp);
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
