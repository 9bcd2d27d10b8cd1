#include "ClientConfig.h"

#include "TextUtil.h"

#include <windows.h>

namespace kite {

ClientConfig::ClientConfig(const std::wstring& path, const std::wstring& defaultsPath)
    : m_path(path), m_defaultsPath(defaultsPath) {
    if (!FileExists(m_path))
        RestoreDefaults();
}

bool ClientConfig::RestoreDefaults() {
    std::string bytes;
    return ReadFileBytes(m_defaultsPath, bytes) && WriteFileBytes(m_path, bytes);
}

std::wstring ClientConfig::Get(const wchar_t* section, const wchar_t* key) const {
    wchar_t buf[1024] = {};
    ::GetPrivateProfileStringW(section, key, L"", buf, 1024, m_path.c_str());
    return buf;
}

void ClientConfig::Set(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    // The profile functions keep the file's other lines and comments.
    ::WritePrivateProfileStringW(section, key, value.c_str(), m_path.c_str());
}

unsigned ClientConfig::GetNumber(const wchar_t* section, const wchar_t* key,
                                 unsigned fallback) const {
    int v = ToInt(Get(section, key), -1);
    return v >= 0 ? static_cast<unsigned>(v) : fallback;
}

sip::AgentSettings ClientConfig::SipSettings() const {
    sip::AgentSettings s;
    s.expires = GetNumber(L"SIP", L"Expires", s.expires);
    s.transactionTimeoutMs = GetNumber(L"SIP", L"TransactionTimeoutMs", s.transactionTimeoutMs);
    s.retryFirstMs = GetNumber(L"SIP", L"RetryFirstMs", s.retryFirstMs);
    s.retryMaxMs = GetNumber(L"SIP", L"RetryMaxMs", s.retryMaxMs);
    s.retries = GetNumber(L"SIP", L"Retries", s.retries);
    return s;
}

unsigned ClientConfig::CloseWaitMs() const {
    return GetNumber(L"SIP", L"CloseWaitMs", 3000);
}

std::wstring ClientConfig::AdminPassword() const {
    return Get(L"Client", L"AdminPassword");
}

std::wstring ClientConfig::Language() const {
    std::wstring code = Get(L"Client", L"Language");
    return code.empty() ? L"en" : code;
}

void ClientConfig::SetLanguage(const std::wstring& code) {
    Set(L"Client", L"Language", code);
}

} // namespace kite
