// Small text helpers of the SIP code: case-insensitive compares, tokens,
// quoted strings, parameter lists and numbers as SIP writes them. Every
// reader here takes untrusted input and never reads past its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kite {
namespace sip {

std::string Lower(std::string s);
bool EqualNoCase(const std::string& a, const std::string& b);
std::string TrimWs(const std::string& s);
// A number of at most 9 digits and nothing else; false otherwise.
bool ParseNumber(const std::string& s, uint32_t& out);

// The token at pos (after blanks); pos moves behind it.
std::string NextToken(const std::string& s, size_t& pos);

struct Param {
    std::string name;
    std::string value; // quotes and escapes removed
    bool hasValue = false;
};
// name[=value] items separated by sep from pos to the end; a value is a
// token or a quoted string.
std::vector<Param> ParseParams(const std::string& s, size_t pos, char sep);
// The value of the first parameter called name (case-insensitive); found
// tells whether it was there at all.
std::string FindParam(const std::vector<Param>& params, const char* name, bool* found = nullptr);

// Splits at sep where it is outside quotes and angle brackets; the parts
// are trimmed and empty ones left out.
std::vector<std::string> SplitList(const std::string& s, char sep);

// "text" with \ and " escaped.
std::string Quote(const std::string& text);
// The user part of a SIP URI: characters outside the unreserved and
// user-unreserved sets are %-escaped.
std::string EscapeUser(const std::string& user);

} // namespace sip
} // namespace kite
