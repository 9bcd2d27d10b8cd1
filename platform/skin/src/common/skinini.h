// The skin file: UTF-8 ini text with [sections] and key=value lines, read
// into a case-insensitive table, plus the parsers of its value types.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <map>
#include <string>

namespace skin {

struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                      static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    }
};

typedef std::map<std::wstring, std::wstring, NoCaseLess> IniSection;

class IniFile {
public:
    // Reads UTF-8 text (an optional byte order mark is skipped). Sections and
    // keys read later replace those read before, so a file can be layered
    // over the built-in defaults. Returns the number of values read.
    int Merge(const char* text, size_t length);
    void Clear() { m_sections.clear(); }
    const std::wstring* Find(const std::wstring& section, const std::wstring& key) const;
    bool HasSection(const std::wstring& section) const;

private:
    std::map<std::wstring, IniSection, NoCaseLess> m_sections;
};

// A value as written: surrounding blanks trimmed; a value that starts with a
// double quote runs to the closing quote, with the escapes \" \\ \n \t and
// \uXXXX, so that any character (";", "=", leading blanks) can be written.
std::wstring UnquoteValue(const std::wstring& raw);

// "#RRGGBB", "RRGGBB" or "r,g,b". Returns false for anything else (and for
// "none").
bool ParseColor(const std::wstring& text, COLORREF* color);

// "Face,points[,bold][,italic][,underline]".
struct FontSpec {
    std::wstring face = L"Tahoma";
    int points = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};
bool ParseFont(const std::wstring& text, FontSpec* font);
// A font for the screen; the caller owns it.
HFONT CreateFontFromSpec(const FontSpec& fontSpec);

int ParseInt(const std::wstring& text, int fallback);

std::wstring Utf8ToWide(const char* text, size_t length);

} // namespace skin
