// The client's log of its SIP exchange ("sip.log"): each request and
// response with its first line and the headers that matter for
// registration, what the agents decided, and the responses dropped. A
// password never reaches it, and of an Authorization header only the parts
// that identify the answer (user, realm, nonce, qop, nc): never the digest.
#pragma once

#include <string>

namespace kite {
namespace sip {

class SipLog {
public:
    // path: the file, appended to; its folder is created.
    explicit SipLog(const std::wstring& path);

    const std::wstring& Path() const { return m_path; }
    // One time-stamped line about account.
    void Line(const std::string& account, const std::string& text);
    // A message sent (out) to or received from peer ("127.0.0.1:5070").
    void Message(const std::string& account, bool out, const std::string& peer,
                 const std::string& bytes);

private:
    void Write(const std::string& text);
    std::wstring m_path;
};

// The Authorization value as the log shows it: without response and cnonce.
std::string RedactAuthorization(const std::string& value);
// A datagram's first line for the log: printable ASCII, at most 100
// characters.
std::string FirstLineForLog(const char* data, size_t size);

} // namespace sip
} // namespace kite
