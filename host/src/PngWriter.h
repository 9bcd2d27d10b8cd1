// Writes 24-bit RGB pictures as PNG files (zlib stream with fixed Huffman
// codes and LZ77 matches: small files for window pictures, no library).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kite {

// rgb: height rows of width pixels, 3 bytes each (red, green, blue), top
// row first.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgb);
bool WritePng(const std::wstring& path, int width, int height, const std::vector<uint8_t>& rgb);
// Reads back what EncodePng wrote (stored or fixed-Huffman blocks only);
// false for anything else. For checking the files the client writes.
bool DecodePng(const std::string& png, int& width, int& height, std::vector<uint8_t>& rgb);

} // namespace kite
