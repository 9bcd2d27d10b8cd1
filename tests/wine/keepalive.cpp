// Keeps one Wine desktop process alive for a whole test run: without it
// Wine starts and stops its desktop with every test program, which costs
// a second or two each time. Ends when its stop event is set or after an
// hour at most.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HANDLE hStop = CreateEventW(nullptr, TRUE, FALSE, L"SignDeskKeepAliveStop");
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"keepalive", 0, 0, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 3600 * 1000) {
        DWORD r = MsgWaitForMultipleObjects(1, &hStop, FALSE, 1000, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyWindow(hWnd);
    return 0;
}
