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

// Characters below 0x80 are the same bytes in every ANSI code page: such a
// text converts by narrowing each character, without the code page tables.
bool IsAscii(const wchar_t* text, int chars) {
    wchar_t any = 0;
    for (int i = 0; i < chars; ++i) {
        any |= text[i];
    }
    return any < 0x80;
}

} // namespace

int WideToAnsiBuffer(char* buffer, const wchar_t* text, int& length) {
    if (text == NULL) {
        return 0;
    }
    const size_t wideLength = wcslen(text);
    const int chars = wideLength > 0x7fffffff ? 0x7fffffff : static_cast<int>(wideLength);
    const bool ascii = IsAscii(text, chars);
    if (buffer == NULL) {
        length = ascii ? chars : AnsiBytes(text, chars);
        return length;
    }
    const int room = length - 1;
    if (room <= 0 || chars == 0) {
        return 0;
    }
    if (ascii) {
        const int fit = chars < room ? chars : room;
        for (int i = 0; i < fit; ++i) {
            buffer[i] = static_cast<char>(text[i]);
        }
        return fit;
    }
    // Measured before converting: a conversion that runs out of room may
    // already have written part of the text behind the cut.
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
