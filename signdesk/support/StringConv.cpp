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

} // namespace

int WideToAnsiBuffer(char* buffer, const wchar_t* text, int& length) {
    if (text == NULL) {
        return 0;
    }
    if (buffer != NULL && length > 1) {
        // Characters below 0x80 are the same bytes in every ANSI code page:
        // a text of them (or its first length - 1 characters, where it is
        // cut) is narrowed in one pass, without the code page functions.
        // At the first other character the conversion starts over below;
        // it writes the same bytes over this prefix.
        const int room = length - 1;
        int i = 0;
        while (i < room && text[i] != L'\0' && text[i] < 0x80) {
            buffer[i] = static_cast<char>(text[i]);
            ++i;
        }
        if (i == room || text[i] == L'\0') {
            return i;
        }
    }
    const size_t wideLength = wcslen(text);
    const int chars = wideLength > 0x7fffffff ? 0x7fffffff : static_cast<int>(wideLength);
    if (buffer == NULL) {
        length = AnsiBytes(text, chars);
        return length;
    }
    const int room = length - 1;
    if (room <= 0 || chars == 0) {
        return 0;
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
