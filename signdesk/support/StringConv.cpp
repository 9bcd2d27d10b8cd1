#include "support/StringConv.h"

#include <windows.h>

#include <cwchar>

namespace {

int AnsiBytes(const wchar_t* text, int chars) {
    if (chars <= 0) {
        return 0;
    }
    return WideCharToMultiByte(CP_ACP, 0, text, chars, NULL, 0, NULL, NULL);
}

// Converts the longest run of whole characters of text (chars > 0) that
// fits in room bytes (room > 0). Measured before converting: a conversion
// that runs out of room may already have written part of the text behind
// the cut.
int ConvertFitting(char* buffer, const wchar_t* text, int chars, int room) {
    int fit = chars;
    if (AnsiBytes(text, chars) > room) {
        // Too long: the longest run of whole characters that fits, without
        // splitting a surrogate pair or a multi-byte character.
        int low = 0;
        int high = chars;
        while (low < high) {
            int mid = low + (high - low + 1) / 2;
            if (AnsiBytes(text, mid) <= room) {
                low = mid;
            } else {
                high = mid - 1;
            }
        }
        fit = low;
        if (fit > 0 && text[fit - 1] >= 0xD800 && text[fit - 1] <= 0xDBFF) {
            --fit;
        }
    }
    const int written =
        fit > 0 ? WideCharToMultiByte(CP_ACP, 0, text, fit, buffer, room, NULL, NULL) : 0;
    return written > 0 ? written : 0;
}

int CharCount(const wchar_t* text) {
    const size_t wideLength = wcslen(text);
    return wideLength > 0x7fffffff ? 0x7fffffff : static_cast<int>(wideLength);
}

} // namespace

int WideToAnsiBuffer(char* buffer, const wchar_t* text, int& length) {
    if (text == NULL) {
        return 0;
    }
    if (buffer == NULL) {
        length = AnsiBytes(text, CharCount(text));
        return length;
    }
    const int room = length - 1;
    if (room <= 0) {
        return 0;
    }
    // Characters below 0x80 are the same single bytes in every ANSI code
    // page: a run of them is narrowed in one pass, without the code page
    // functions, and only the rest of the text (if it has more than fits
    // already) goes through them.
    int i = 0;
    while (i < room && text[i] != L'\0' && text[i] < 0x80) {
        buffer[i] = static_cast<char>(text[i]);
        ++i;
    }
    if (i == room || text[i] == L'\0') {
        return i;
    }
    return i + ConvertFitting(buffer + i, text + i, CharCount(text + i), room - i);
}
