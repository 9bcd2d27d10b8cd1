#include "PngWriter.h"

#include "TextUtil.h"

#include <cstdlib>
#include <cstring>

namespace kite {

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t v : data) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

class BitWriter {
public:
    void Bits(uint32_t value, int count) { // least significant bit first
        for (int i = 0; i < count; ++i) {
            m_acc |= ((value >> i) & 1u) << m_n;
            if (++m_n == 8)
                Flush();
        }
    }
    void Huffman(uint32_t code, int length) { // most significant bit first
        for (int i = length - 1; i >= 0; --i)
            Bits((code >> i) & 1u, 1);
    }
    std::vector<uint8_t> Finish() {
        if (m_n)
            Flush();
        return m_out;
    }

private:
    void Flush() {
        m_out.push_back(static_cast<uint8_t>(m_acc));
        m_acc = 0;
        m_n = 0;
    }
    std::vector<uint8_t> m_out;
    uint32_t m_acc = 0;
    int m_n = 0;
};

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Literal(BitWriter& w, int v) {
    if (v < 144)
        w.Huffman(0x30 + v, 8);
    else if (v < 256)
        w.Huffman(0x190 + (v - 144), 9);
    else if (v < 280)
        w.Huffman(v - 256, 7);
    else
        w.Huffman(0xC0 + (v - 280), 8);
}

void Match(BitWriter& w, int length, int distance) {
    int li = 28;
    while (kLengthBase[li] > length)
        --li;
    Literal(w, 257 + li);
    w.Bits(static_cast<uint32_t>(length - kLengthBase[li]), kLengthExtra[li]);
    int di = 29;
    while (kDistBase[di] > distance)
        --di;
    w.Huffman(static_cast<uint32_t>(di), 5);
    w.Bits(static_cast<uint32_t>(distance - kDistBase[di]), kDistExtra[di]);
}

// One deflate block with the fixed codes over the whole input.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& in) {
    const int kWindow = 32768, kHashBits = 15, kMaxChain = 48;
    BitWriter w;
    w.Bits(1, 1); // last block
    w.Bits(1, 2); // fixed Huffman codes
    std::vector<int> head(1 << kHashBits, -1), prev(kWindow, -1);
    auto hash = [&](size_t i) {
        return ((in[i] << 10) ^ (in[i + 1] << 5) ^ in[i + 2]) & ((1 << kHashBits) - 1);
    };
    size_t n = in.size(), i = 0;
    auto insert = [&](size_t pos) {
        if (pos + 2 < n) {
            int h = hash(pos);
            prev[pos % kWindow] = head[h];
            head[h] = static_cast<int>(pos);
        }
    };
    while (i < n) {
        int bestLen = 0, bestDist = 0;
        if (i + 2 < n) {
            int cand = head[hash(i)];
            for (int chain = 0; cand >= 0 && chain < kMaxChain; ++chain) {
                size_t dist = i - static_cast<size_t>(cand);
                if (dist > static_cast<size_t>(kWindow - 1) || dist == 0)
                    break;
                size_t limit = n - i < 258 ? n - i : 258;
                size_t len = 0;
                while (len < limit && in[static_cast<size_t>(cand) + len] == in[i + len])
                    ++len;
                if (static_cast<int>(len) > bestLen) {
                    bestLen = static_cast<int>(len);
                    bestDist = static_cast<int>(dist);
                    if (len == limit)
                        break;
                }
                int next = prev[static_cast<size_t>(cand) % kWindow];
                if (next >= cand)
                    break;
                cand = next;
            }
        }
        if (bestLen >= 3) {
            Match(w, bestLen, bestDist);
            for (int k = 0; k < bestLen; ++k)
                insert(i + static_cast<size_t>(k));
            i += static_cast<size_t>(bestLen);
        } else {
            Literal(w, in[i]);
            insert(i);
            ++i;
        }
    }
    Literal(w, 256);
    return w.Finish();
}

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

void Put32(std::string& s, uint32_t v) {
    s += static_cast<char>(v >> 24);
    s += static_cast<char>(v >> 16);
    s += static_cast<char>(v >> 8);
    s += static_cast<char>(v);
}

void Chunk(std::string& png, const char* type, const std::vector<uint8_t>& data) {
    Put32(png, static_cast<uint32_t>(data.size()));
    std::string body(type, 4);
    body.append(reinterpret_cast<const char*>(data.data()), data.size());
    png += body;
    Put32(png, Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

} // namespace

std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((stride + 1) * static_cast<size_t>(height));
    std::vector<uint8_t> line(stride), best(stride);
    for (int y = 0; y < height; ++y) {
        const uint8_t* cur = &rgb[static_cast<size_t>(y) * stride];
        const uint8_t* up = y > 0 ? cur - stride : nullptr;
        long bestScore = -1;
        int bestFilter = 0;
        for (int f = 0; f < 5; ++f) {
            long score = 0;
            for (size_t x = 0; x < stride; ++x) {
                int a = x >= 3 ? cur[x - 3] : 0, b = up ? up[x] : 0,
                    c = (up && x >= 3) ? up[x - 3] : 0;
                int pred = f == 0   ? 0
                           : f == 1 ? a
                           : f == 2 ? b
                           : f == 3 ? (a + b) / 2
                                    : Paeth(a, b, c);
                line[x] = static_cast<uint8_t>(cur[x] - pred);
                score += std::abs(static_cast<int8_t>(line[x]));
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                bestFilter = f;
                best.swap(line);
            }
        }
        raw.push_back(static_cast<uint8_t>(bestFilter));
        raw.insert(raw.end(), best.begin(), best.end());
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    std::vector<uint8_t> deflated = Deflate(raw);
    z.insert(z.end(), deflated.begin(), deflated.end());
    uint32_t adler = Adler32(raw);
    for (int s = 24; s >= 0; s -= 8)
        z.push_back(static_cast<uint8_t>(adler >> s));

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::vector<uint8_t> ihdr;
    for (uint32_t v : {static_cast<uint32_t>(width), static_cast<uint32_t>(height)})
        for (int s = 24; s >= 0; s -= 8)
            ihdr.push_back(static_cast<uint8_t>(v >> s));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, adaptive, no interlace
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

bool WritePng(const std::wstring& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        return false;
    return WriteFileBytes(path, EncodePng(width, height, rgb));
}

// ---------------------------------------------------------------------------
// Reading back

namespace {

class BitReader {
public:
    BitReader(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
    bool Bits(int count, uint32_t& v) {
        v = 0;
        for (int i = 0; i < count; ++i) {
            if (m_pos >= m_n * 8)
                return false;
            v |= static_cast<uint32_t>((m_p[m_pos / 8] >> (m_pos % 8)) & 1) << i;
            ++m_pos;
        }
        return true;
    }
    bool Huffman(int count, uint32_t& v) {
        v = 0;
        for (int i = 0; i < count; ++i) {
            uint32_t b;
            if (!Bits(1, b))
                return false;
            v = (v << 1) | b;
        }
        return true;
    }
    void Align() { m_pos = (m_pos + 7) / 8 * 8; }
    size_t BytePos() const { return m_pos / 8; }
    void Skip(size_t bytes) { m_pos += bytes * 8; }

private:
    const uint8_t* m_p;
    size_t m_n;
    size_t m_pos = 0;
};

bool FixedSymbol(BitReader& r, int& sym) {
    uint32_t v;
    if (!r.Huffman(7, v))
        return false;
    if (v <= 23) {
        sym = 256 + static_cast<int>(v);
        return true;
    }
    uint32_t b;
    if (!r.Bits(1, b))
        return false;
    v = (v << 1) | b;
    if (v >= 0x30 && v <= 0xBF) {
        sym = static_cast<int>(v - 0x30);
        return true;
    }
    if (v >= 0xC0 && v <= 0xC7) {
        sym = 280 + static_cast<int>(v - 0xC0);
        return true;
    }
    if (!r.Bits(1, b))
        return false;
    v = (v << 1) | b;
    if (v >= 0x190 && v <= 0x1FF) {
        sym = 144 + static_cast<int>(v - 0x190);
        return true;
    }
    return false;
}

bool Inflate(const uint8_t* p, size_t n, std::vector<uint8_t>& out) {
    BitReader r(p, n);
    for (;;) {
        uint32_t last, type;
        if (!r.Bits(1, last) || !r.Bits(2, type))
            return false;
        if (type == 0) {
            r.Align();
            size_t pos = r.BytePos();
            if (pos + 4 > n)
                return false;
            size_t len = p[pos] | (p[pos + 1] << 8);
            if (pos + 4 + len > n)
                return false;
            out.insert(out.end(), p + pos + 4, p + pos + 4 + len);
            r.Skip(4 + len);
        } else if (type == 1) {
            for (;;) {
                int sym;
                if (!FixedSymbol(r, sym))
                    return false;
                if (sym < 256) {
                    out.push_back(static_cast<uint8_t>(sym));
                    continue;
                }
                if (sym == 256)
                    break;
                int li = sym - 257;
                if (li > 28)
                    return false;
                uint32_t extra, dcode, dextra;
                if (!r.Bits(kLengthExtra[li], extra) || !r.Huffman(5, dcode) || dcode > 29 ||
                    !r.Bits(kDistExtra[dcode], dextra))
                    return false;
                size_t len = kLengthBase[li] + extra, dist = kDistBase[dcode] + dextra;
                if (dist > out.size())
                    return false;
                for (size_t k = 0; k < len; ++k)
                    out.push_back(out[out.size() - dist]);
            }
        } else {
            return false;
        }
        if (last)
            return true;
    }
}

uint32_t Get32(const std::string& s, size_t pos) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(s[pos])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[pos + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[pos + 2])) << 8) |
           static_cast<uint8_t>(s[pos + 3]);
}

} // namespace

bool DecodePng(const std::string& png, int& width, int& height, std::vector<uint8_t>& rgb) {
    if (png.size() < 8 || png.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0)
        return false;
    std::vector<uint8_t> z;
    size_t pos = 8;
    width = height = 0;
    while (pos + 12 <= png.size()) {
        uint32_t len = Get32(png, pos);
        std::string type = png.substr(pos + 4, 4);
        if (pos + 12 + len > png.size())
            return false;
        const uint8_t* data = reinterpret_cast<const uint8_t*>(png.data()) + pos + 8;
        if (Crc32(data - 4, len + 4) != Get32(png, pos + 8 + len))
            return false;
        if (type == "IHDR") {
            width = static_cast<int>(Get32(png, pos + 8));
            height = static_cast<int>(Get32(png, pos + 12));
            if (data[8] != 8 || data[9] != 2)
                return false;
        } else if (type == "IDAT") {
            z.insert(z.end(), data, data + len);
        }
        pos += 12 + len;
    }
    std::vector<uint8_t> raw;
    if (width <= 0 || height <= 0 || z.size() < 6 || !Inflate(z.data() + 2, z.size() - 6, raw))
        return false;
    size_t stride = static_cast<size_t>(width) * 3;
    if (raw.size() != (stride + 1) * static_cast<size_t>(height) ||
        Adler32(raw) != ((static_cast<uint32_t>(z[z.size() - 4]) << 24) | (z[z.size() - 3] << 16) |
                         (z[z.size() - 2] << 8) | z[z.size() - 1]))
        return false;
    rgb.assign(stride * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        int f = raw[static_cast<size_t>(y) * (stride + 1)];
        const uint8_t* src = &raw[static_cast<size_t>(y) * (stride + 1) + 1];
        uint8_t* cur = &rgb[static_cast<size_t>(y) * stride];
        const uint8_t* up = y > 0 ? cur - stride : nullptr;
        for (size_t x = 0; x < stride; ++x) {
            int a = x >= 3 ? cur[x - 3] : 0, b = up ? up[x] : 0, c = (up && x >= 3) ? up[x - 3] : 0;
            int pred = f == 0 ? 0 : f == 1 ? a : f == 2 ? b : f == 3 ? (a + b) / 2 : Paeth(a, b, c);
            cur[x] = static_cast<uint8_t>(src[x] + pred);
        }
    }
    return true;
}

} // namespace kite
