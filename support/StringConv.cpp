#include "StringConv.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

int AnsiBytes(const wchar_t* text, int chars) {
    if (chars <= 0) {
        return 0;
    }
    return WideCharToMultiByte(CP_ACP, 0, text, chars, nullptr, 0, nullptr, nullptr);
}

} // namespace

int WideToAnsiBuffer(char* buffer, const wchar_t* text, int& length) {
    if (text == nullptr) {
        return 0;
    }
    const size_t wideLength = wcslen(text);
    const int chars = wideLength > 0x7fffffff ? 0x7fffffff : static_cast<int>(wideLength);
    if (buffer == nullptr) {
        length = AnsiBytes(text, chars);
        return length;
    }
    const int room = length - 1;
    if (room <= 0 || chars == 0) {
        return 0;
    }
    // Common case: the whole text fits.
    int written = WideCharToMultiByte(CP_ACP, 0, text, chars, buffer, room, nullptr, nullptr);
    if (written > 0) {
        return written;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return 0;
    }
    // Too long: find the longest run of whole characters that fits, without
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
    int fit = low;
    if (fit > 0 && text[fit - 1] >= 0xD800 && text[fit - 1] <= 0xDBFF) {
        --fit;
    }
    written =
        fit > 0 ? WideCharToMultiByte(CP_ACP, 0, text, fit, buffer, room, nullptr, nullptr) : 0;
    if (written < 0) {
        written = 0;
    }
    // The failed attempt may have left bytes behind the cut: clear them so
    // the text stays terminated.
    memset(buffer + written, 0, static_cast<size_t>(room - written));
    return written;
}
