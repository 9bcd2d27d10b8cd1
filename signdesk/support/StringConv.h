// Wide to narrow text in the ANSI code page, into a caller's buffer.
#pragma once

// With a null text: does nothing and returns 0.
// With a null buffer: stores into length the number of bytes the whole text
// needs (without terminator) and returns it.
// Otherwise: length is the buffer's capacity in bytes. Converts the text
// (without its terminator) into the buffer, writing at most length - 1 bytes
// so that a zero-filled buffer always ends terminated; a longer text is cut at
// a character boundary. No terminator is written. Returns the bytes written.
// Unconvertible characters become the code page's default character.
int WideToAnsiBuffer(char* buffer, const wchar_t* text, int& length);
