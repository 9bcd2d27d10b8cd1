// Helpers of the skin library tests: a recording parent window, message
// pumping, pixels and temporary skin files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skintest {

// A top-level window that records the messages sent to it.
struct Recorded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    // Copies of what WM_PANNEL_NOTIFY pointed to, taken while it was sent.
    unsigned code = 0;
    HWND from = nullptr;
    UINT idFrom = 0;
    UINT recordCode = 0;
    const void* unit = nullptr;
    UINT unitId = 0;
};

class TestWindow {
public:
    explicit TestWindow(int width = 360, int height = 300, int x = 40, int y = 40);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // Adds a child control.
    HWND AddChild(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                  int h);
    std::vector<Recorded> Messages(UINT message) const;
    void Clear();

private:
    HWND m_hWnd = nullptr;
};

// Dispatches whatever is queued, for about ms milliseconds.
void Pump(int ms = 50);
// Paints a window and its children now.
void PaintNow(HWND hWnd);
COLORREF PixelAt(HWND hWnd, int x, int y);

std::wstring WindowText(HWND hWnd);
std::wstring ExeDirectory();
// Writes UTF-8 text to a file under %TEMP%; returns its path.
std::wstring WriteTempFile(const wchar_t* name, const std::string& utf8);

} // namespace skintest
