#include "sip/SipText.h"

#include <cstring>

namespace kite {
namespace sip {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("-.!%*_+`'~:[]/@", c) != nullptr && c != '\0';
}

void SkipBlanks(const std::string& s, size_t& pos) {
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
}

// A quoted string at pos (at its opening quote); pos moves behind the
// closing quote, or to the end when it is missing.
std::string ReadQuoted(const std::string& s, size_t& pos) {
    std::string out;
    ++pos;
    while (pos < s.size() && s[pos] != '"') {
        if (s[pos] == '\\' && pos + 1 < s.size())
            ++pos;
        out += s[pos++];
    }
    if (pos < s.size())
        ++pos;
    return out;
}

} // namespace

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && Lower(a) == Lower(b);
}

std::string TrimWs(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool ParseNumber(const std::string& s, uint32_t& out) {
    if (s.empty() || s.size() > 9)
        return false;
    uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<uint32_t>(c - '0');
    }
    out = v;
    return true;
}

std::string NextToken(const std::string& s, size_t& pos) {
    SkipBlanks(s, pos);
    size_t start = pos;
    while (pos < s.size() && IsTokenChar(s[pos]))
        ++pos;
    return s.substr(start, pos - start);
}

std::vector<Param> ParseParams(const std::string& s, size_t pos, char sep) {
    std::vector<Param> out;
    while (pos < s.size()) {
        SkipBlanks(s, pos);
        if (pos < s.size() && s[pos] == sep) {
            ++pos;
            continue;
        }
        Param p;
        size_t before = pos;
        p.name = NextToken(s, pos);
        SkipBlanks(s, pos);
        if (pos < s.size() && s[pos] == '=') {
            ++pos;
            SkipBlanks(s, pos);
            p.hasValue = true;
            if (pos < s.size() && s[pos] == '"')
                p.value = ReadQuoted(s, pos);
            else
                p.value = NextToken(s, pos);
        }
        // Anything else up to the next separator is not ours to read.
        while (pos < s.size() && s[pos] != sep)
            ++pos;
        if (!p.name.empty())
            out.push_back(p);
        if (pos == before)
            ++pos;
    }
    return out;
}

std::string FindParam(const std::vector<Param>& params, const char* name, bool* found) {
    for (const Param& p : params)
        if (EqualNoCase(p.name, name)) {
            if (found)
                *found = true;
            return p.value;
        }
    if (found)
        *found = false;
    return std::string();
}

std::vector<std::string> SplitList(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string part;
    bool quoted = false;
    int angle = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quoted) {
            if (c == '\\' && i + 1 < s.size()) {
                part += c;
                c = s[++i];
            } else if (c == '"') {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '<') {
            ++angle;
        } else if (c == '>' && angle > 0) {
            --angle;
        } else if (c == sep && angle == 0) {
            part = TrimWs(part);
            if (!part.empty())
                out.push_back(part);
            part.clear();
            continue;
        }
        part += c;
    }
    part = TrimWs(part);
    if (!part.empty())
        out.push_back(part);
    return out;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string EscapeUser(const std::string& user) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : user) {
        unsigned char c = static_cast<unsigned char>(ch);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     (c != 0 && std::strchr("-_.!~*'()&=+$,;?/", c) != nullptr);
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

} // namespace sip
} // namespace kite
