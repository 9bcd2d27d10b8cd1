#include "skinini.h"

#include <cwchar>
#include <vector>

namespace skin {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

std::vector<std::wstring> SplitComma(const std::wstring& s) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = s.find(L',', start);
        parts.push_back(Trim(s.substr(start, comma == std::wstring::npos ? comma : comma - start)));
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

} // namespace

std::wstring Utf8ToWide(const char* text, size_t length) {
    if (!length)
        return std::wstring();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length), &out[0], n);
    return out;
}

std::wstring UnquoteValue(const std::wstring& raw) {
    std::wstring v = Trim(raw);
    if (v.empty() || v[0] != L'"')
        return v;
    std::wstring out;
    for (size_t i = 1; i < v.size(); ++i) {
        wchar_t c = v[i];
        if (c == L'"')
            return out;
        if (c != L'\\' || i + 1 >= v.size()) {
            out += c;
            continue;
        }
        wchar_t e = v[++i];
        switch (e) {
        case L'n':
            out += L'\n';
            break;
        case L't':
            out += L'\t';
            break;
        case L'u': {
            unsigned code = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < v.size() && HexDigit(v[i + 1]) >= 0) {
                code = code * 16 + static_cast<unsigned>(HexDigit(v[++i]));
                ++digits;
            }
            out += static_cast<wchar_t>(code);
            break;
        }
        default: // \" \\ and any other escaped character stand for themselves
            out += e;
            break;
        }
    }
    return out; // no closing quote: take the rest
}

int IniFile::Merge(const char* text, size_t length) {
    if (length >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF) {
        text += 3;
        length -= 3;
    }
    std::wstring all = Utf8ToWide(text, length);
    IniSection* current = nullptr;
    int values = 0;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t eol = all.find(L'\n', pos);
        std::wstring line =
            Trim(all.substr(pos, eol == std::wstring::npos ? std::wstring::npos : eol - pos));
        pos = eol == std::wstring::npos ? all.size() : eol + 1;
        if (line.empty() || line[0] == L';' || line[0] == L'#')
            continue;
        if (line[0] == L'[') {
            size_t close = line.find(L']');
            std::wstring name =
                Trim(line.substr(1, close == std::wstring::npos ? close : close - 1));
            current = &m_sections[name];
            continue;
        }
        size_t eq = line.find(L'=');
        if (!current || eq == std::wstring::npos)
            continue;
        std::wstring key = Trim(line.substr(0, eq));
        if (key.empty())
            continue;
        (*current)[key] = UnquoteValue(line.substr(eq + 1));
        ++values;
    }
    return values;
}

const std::wstring* IniFile::Find(const std::wstring& section, const std::wstring& key) const {
    auto s = m_sections.find(section);
    if (s == m_sections.end())
        return nullptr;
    auto k = s->second.find(key);
    return k == s->second.end() ? nullptr : &k->second;
}

bool IniFile::HasSection(const std::wstring& section) const {
    return m_sections.find(section) != m_sections.end();
}

bool ParseColor(const std::wstring& textIn, COLORREF* color) {
    std::wstring text = Trim(textIn);
    if (!text.empty() && text[0] == L'#')
        text.erase(0, 1);
    if (text.size() == 6) {
        int d[6];
        bool hex = true;
        for (int i = 0; i < 6; ++i)
            hex = hex && (d[i] = HexDigit(text[static_cast<size_t>(i)])) >= 0;
        if (hex) {
            *color = RGB(d[0] * 16 + d[1], d[2] * 16 + d[3], d[4] * 16 + d[5]);
            return true;
        }
    }
    std::vector<std::wstring> parts = SplitComma(text);
    if (parts.size() != 3)
        return false;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        wchar_t* end = nullptr;
        long v = std::wcstol(parts[static_cast<size_t>(i)].c_str(), &end, 10);
        if (parts[static_cast<size_t>(i)].empty() || *end || v < 0 || v > 255)
            return false;
        rgb[i] = static_cast<int>(v);
    }
    *color = RGB(rgb[0], rgb[1], rgb[2]);
    return true;
}

bool ParseFont(const std::wstring& text, FontSpec* font) {
    std::vector<std::wstring> parts = SplitComma(text);
    if (parts.empty() || parts[0].empty())
        return false;
    FontSpec fontSpec;
    fontSpec.face = parts[0];
    if (parts.size() > 1)
        fontSpec.points = ParseInt(parts[1], fontSpec.points);
    for (size_t i = 2; i < parts.size(); ++i) {
        const std::wstring& flag = parts[i];
        if (::lstrcmpiW(flag.c_str(), L"bold") == 0)
            fontSpec.bold = true;
        else if (::lstrcmpiW(flag.c_str(), L"italic") == 0)
            fontSpec.italic = true;
        else if (::lstrcmpiW(flag.c_str(), L"underline") == 0)
            fontSpec.underline = true;
    }
    if (fontSpec.points <= 0 || fontSpec.points > 72)
        fontSpec.points = 9;
    *font = fontSpec;
    return true;
}

HFONT CreateFontFromSpec(const FontSpec& fontSpec) {
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    LOGFONTW lf = {};
    lf.lfHeight = -::MulDiv(fontSpec.points, dpi, 72);
    lf.lfWeight = fontSpec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = fontSpec.italic ? TRUE : FALSE;
    lf.lfUnderline = fontSpec.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    ::lstrcpynW(lf.lfFaceName, fontSpec.face.c_str(), LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

int ParseInt(const std::wstring& text, int fallback) {
    std::wstring t = Trim(text);
    if (t.empty())
        return fallback;
    wchar_t* end = nullptr;
    long v = std::wcstol(t.c_str(), &end, 0);
    return *end ? fallback : static_cast<int>(v);
}

} // namespace skin
