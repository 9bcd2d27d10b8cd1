// Sets a named event (stops the keep-alive program).
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    HANDLE h = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
    if (!h)
        return 1;
    SetEvent(h);
    CloseHandle(h);
    return 0;
}
