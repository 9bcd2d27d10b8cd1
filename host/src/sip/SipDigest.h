// Digest authentication of SIP requests (RFC 2617, RFC 7616 with MD5):
// reading a registrar's challenge and answering it. The hashing and the
// random numbers come from the system's cryptographic provider.
#pragma once

#include <cstddef>
#include <string>

namespace kite {
namespace sip {

// Lower-case hex MD5 of data; empty when the system has no MD5 provider.
std::string Md5Hex(const std::string& data);
// bytes random bytes from the system's generator, as 2 * bytes hex digits.
std::string RandomHex(size_t bytes);

// A Digest challenge of a 401 (WWW-Authenticate) or 407
// (Proxy-Authenticate).
struct DigestChallenge {
    bool proxy = false;
    std::string realm;
    std::string nonce;
    std::string opaque;
    std::string algorithm; // as the registrar wrote it; empty means MD5
    bool qopAuth = false;  // "auth" offered: the answer uses qop=auth
    bool stale = false;    // the nonce of the previous answer had expired
};

// Reads one challenge value. False when it is not a Digest challenge this
// client can answer: another scheme, no nonce, an algorithm other than
// MD5, or a qop list without "auth".
bool ParseChallenge(const std::string& value, DigestChallenge& out);

// The request digest: MD5(HA1:nonce:HA2) without qop, and
// MD5(HA1:nonce:nc:cnonce:qop:HA2) with it, HA1 = MD5(user:realm:password),
// HA2 = MD5(method:uri).
std::string DigestResponse(const std::string& user, const std::string& realm,
                           const std::string& password, const std::string& method,
                           const std::string& uri, const std::string& nonce, const std::string& qop,
                           const std::string& nc, const std::string& cnonce);

// The Authorization (or Proxy-Authorization) value answering challenge for
// one request; nc counts the requests made with this nonce (1 for the first).
std::string AuthorizationValue(const DigestChallenge& challenge, const std::string& user,
                               const std::string& password, const std::string& method,
                               const std::string& uri, unsigned nc, const std::string& cnonce);

} // namespace sip
} // namespace kite
