#include "exutil.h"

#include "SkinMagicU.h"
#include "skinini.h"

#include <map>

namespace skinex {

std::wstring Value(const std::wstring& section, const wchar_t* key) {
    int n = ::SkinGetString(section.c_str(), key, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring v(static_cast<size_t>(n) + 1, L'\0');
    ::SkinGetString(section.c_str(), key, &v[0], n + 1);
    v.resize(static_cast<size_t>(n));
    return v;
}

COLORREF Color(const std::wstring& section, const wchar_t* key, COLORREF fallback) {
    COLORREF c = fallback;
    return skin::ParseColor(Value(section, key), &c) ? c : fallback;
}

int Int(const std::wstring& section, const wchar_t* key, int fallback) {
    return skin::ParseInt(Value(section, key), fallback);
}

HFONT Font(const std::wstring& section, const wchar_t* key) {
    static CRITICAL_SECTION* lock = [] {
        auto* cs = new CRITICAL_SECTION;
        ::InitializeCriticalSection(cs);
        return cs;
    }();
    static std::map<std::wstring, HFONT>* fonts = new std::map<std::wstring, HFONT>;
    std::wstring text = Value(section, key);
    skin::FontSpec fontSpec;
    if (!skin::ParseFont(text, &fontSpec))
        return nullptr;
    ::EnterCriticalSection(lock);
    HFONT& font = (*fonts)[text];
    if (!font)
        font = skin::CreateFontFromSpec(fontSpec);
    HFONT result = font;
    ::LeaveCriticalSection(lock);
    return result;
}

std::wstring SkinAbove(HWND hWnd) {
    wchar_t name[256];
    HWND desktop = ::GetDesktopWindow();
    for (HWND a = hWnd; a && a != desktop; a = ::GetAncestor(a, GA_PARENT))
        if (::SkinGetWindowSkin(a, name, 256) > 0)
            return name;
    return std::wstring();
}

HINSTANCE ModuleHandle() {
    HMODULE h = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ModuleHandle), &h);
    return h;
}

} // namespace skinex
