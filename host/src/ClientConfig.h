// The client's configuration file "kite.ini" beside the executable. The
// plug-in reads its own sections from it ([KiteLogIn] advertising lines,
// [UPGRADE] upgrade settings); the client keeps its own in [Client] and
// the timing of its SIP registrations in [SIP].
#pragma once

#include "sip/RegistrationAgent.h"

#include <string>

namespace kite {

class ClientConfig {
public:
    // path: the file; defaultsPath: the shipped file, copied there when the
    // file is missing.
    ClientConfig(const std::wstring& path, const std::wstring& defaultsPath);

    const std::wstring& Path() const { return m_path; }
    std::wstring AdminPassword() const;
    std::wstring Language() const;
    void SetLanguage(const std::wstring& code);
    // [SIP]: what the registrations ask for and how long they wait; keys
    // that are missing or no number keep the built-in values.
    sip::AgentSettings SipSettings() const;
    // [SIP] CloseWaitMs: how long closing the client waits for its
    // unregistrations.
    unsigned CloseWaitMs() const;
    std::wstring Get(const wchar_t* section, const wchar_t* key) const;
    // A non-negative number of the file, fallback when missing or no number.
    unsigned GetNumber(const wchar_t* section, const wchar_t* key, unsigned fallback) const;
    void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value);
    // Puts the shipped file back.
    bool RestoreDefaults();

private:
    std::wstring m_path;
    std::wstring m_defaultsPath;
};

} // namespace kite
