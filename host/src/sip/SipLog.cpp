#include "sip/SipLog.h"

#include "sip/SipText.h"

#include <windows.h>

#include <cstdio>

namespace kite {
namespace sip {

namespace {

// Headers shown in the log, by their names in lower case.
const char* const kShown[] = {"via",
                              "from",
                              "to",
                              "call-id",
                              "cseq",
                              "contact",
                              "expires",
                              "min-expires",
                              "authorization",
                              "proxy-authorization",
                              "www-authenticate",
                              "proxy-authenticate"};

bool Shown(const std::string& lowerName) {
    for (const char* n : kShown)
        if (lowerName == n)
            return true;
    return false;
}

std::string Stamp() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return buf;
}

void EnsureFolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return;
    std::wstring dir = path.substr(0, slash);
    for (size_t i = 3; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == L'\\' || dir[i] == L'/')
            ::CreateDirectoryW(dir.substr(0, i).c_str(), nullptr);
}

} // namespace

std::string RedactAuthorization(const std::string& value) {
    size_t pos = 0;
    std::string scheme = NextToken(value, pos);
    std::string out = scheme;
    const char* sep = " ";
    for (const Param& p : ParseParams(value, pos, ',')) {
        if (EqualNoCase(p.name, "response") || EqualNoCase(p.name, "cnonce"))
            continue;
        bool bare = EqualNoCase(p.name, "qop") || EqualNoCase(p.name, "nc") ||
                    EqualNoCase(p.name, "algorithm");
        out += sep + p.name + "=" + (bare ? p.value : Quote(p.value));
        sep = ", ";
    }
    return out + " (digest withheld)";
}

std::string FirstLineForLog(const char* data, size_t size) {
    std::string out;
    for (size_t i = 0; i < size && out.size() < 100; ++i) {
        char c = data[i];
        if (c == '\r' || c == '\n')
            break;
        out += (c >= 32 && c < 127) ? c : '?';
    }
    return out;
}

SipLog::SipLog(const std::wstring& path) : m_path(path) {
    EnsureFolderOf(m_path);
}

void SipLog::Write(const std::string& text) {
    HANDLE h = ::CreateFileW(m_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(h);
}

void SipLog::Line(const std::string& account, const std::string& text) {
    Write(Stamp() + "  " + account + "  " + text + "\r\n");
}

void SipLog::Message(const std::string& account, bool out, const std::string& peer,
                     const std::string& bytes) {
    std::string text = Stamp() + "  " + account + "  " + (out ? "--> " : "<-- ") + peer + "  " +
                       FirstLineForLog(bytes.data(), bytes.size()) + "\r\n";
    size_t pos = bytes.find('\n');
    while (pos != std::string::npos && pos + 1 < bytes.size()) {
        size_t next = bytes.find('\n', pos + 1);
        std::string line =
            bytes.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            break;
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = TrimWs(line.substr(0, colon));
            std::string lower = Lower(name);
            if (Shown(lower)) {
                std::string value = TrimWs(line.substr(colon + 1));
                if (lower == "authorization" || lower == "proxy-authorization")
                    value = RedactAuthorization(value);
                text += "        " + name + ": " + value + "\r\n";
            }
        }
        pos = next;
    }
    Write(text);
}

} // namespace sip
} // namespace kite
