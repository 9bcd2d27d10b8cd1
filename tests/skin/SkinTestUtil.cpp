#include "SkinTestUtil.h"

#include "SkinMagicExU.h"

#include <map>

namespace skintest {

namespace {
const wchar_t kClass[] = L"SkinTestWindow";
std::map<HWND, std::vector<Recorded>>& Log() {
    static std::map<HWND, std::vector<Recorded>> log;
    return log;
}

LRESULT CALLBACK TestWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PANNEL_NOTIFY || msg == WM_COMMAND) {
        Recorded r{msg, wParam, lParam};
        if (msg == WM_PANNEL_NOTIFY) {
            if (wParam)
                r.code = *reinterpret_cast<const unsigned*>(wParam);
            if (const auto* n = reinterpret_cast<const SKINPANNELNOTIFY*>(lParam)) {
                r.from = n->hwndFrom;
                r.idFrom = n->idFrom;
                r.recordCode = n->code;
                r.unit = n->pUnit;
                r.unitId = n->pUnit ? n->pUnit->m_nID : 0;
            }
        }
        Log()[hWnd].push_back(r);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}
} // namespace

TestWindow::TestWindow(int width, int height, int x, int y) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &TestWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClass;
        registered = RegisterClassW(&wc) != 0;
    }
    m_hWnd = CreateWindowExW(0, kClass, L"skin test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                             width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump(10);
}

TestWindow::~TestWindow() {
    Log().erase(m_hWnd);
    DestroyWindow(m_hWnd);
}

HWND TestWindow::AddChild(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x,
                          int y, int w, int h) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return c;
}

std::vector<Recorded> TestWindow::Messages(UINT message) const {
    std::vector<Recorded> out;
    auto it = Log().find(m_hWnd);
    if (it != Log().end())
        for (const Recorded& r : it->second)
            if (r.message == message)
                out.push_back(r);
    return out;
}

void TestWindow::Clear() {
    Log()[m_hWnd].clear();
}

void Pump(int ms) {
    DWORD until = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

void PaintNow(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

COLORREF PixelAt(HWND hWnd, int x, int y) {
    HDC dc = GetDC(hWnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return c;
}

std::wstring WindowText(HWND hWnd) {
    wchar_t buf[512] = {};
    GetWindowTextW(hWnd, buf, 512);
    return buf;
}

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

std::wstring WriteTempFile(const wchar_t* name, const std::string& utf8) {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + name;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(h);
    return path;
}

} // namespace skintest
