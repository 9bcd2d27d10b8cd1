// The embedded registrar: it stands where the SIP registrar of a real
// deployment stands and answers registrations by its account table (a file
// of accounts, passwords and domains). Every answer is worked out on a
// worker thread after the registrar's delay and posted to a window of the
// user-interface thread, as a network answer would arrive.
#pragma once

#include <windows.h>

#include <string>

namespace kite {

struct RegistrationRequest {
    std::wstring account;
    std::wstring password;
    // false when the server the request goes to does not answer.
    bool serverReachable = true;
};

// Result codes, as the registrar answers them.
enum RegistrarCode {
    REG_OK = 0,
    REG_FORBIDDEN = 403, // wrong password
    REG_NOT_FOUND = 404, // unknown account
    REG_TIMEOUT = 408,   // the server did not answer
};

class Registrar {
public:
    // table: the account table file; when it does not exist, defaults (the
    // shipped demo accounts) is copied there first.
    Registrar(const std::wstring& table, const std::wstring& defaults);

    // Answers req after the delay: posts msg to sink with wParam = ticket
    // and lParam = the result code. Returns at once.
    void Submit(HWND sink, UINT msg, WPARAM ticket, const RegistrationRequest& req) const;
    // A de-registration, answered with 0 after the delay.
    void SubmitDeregistration(HWND sink, UINT msg, WPARAM ticket) const;

    // The answer to req by the table as it is now in the file.
    int Answer(const RegistrationRequest& req) const;
    // The domain of a known account; empty for an unknown one.
    std::wstring DomainOf(const std::wstring& account) const;
    std::wstring NameOf(const std::wstring& account) const;

    DWORD Delay() const { return m_delayMs; }
    void SetDelay(DWORD ms) { m_delayMs = ms; }
    const std::wstring& TablePath() const { return m_table; }

private:
    std::wstring m_table;
    DWORD m_delayMs = 700;
};

} // namespace kite
