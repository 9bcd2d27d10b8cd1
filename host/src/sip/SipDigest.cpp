#include "sip/SipDigest.h"

#include "sip/SipText.h"

#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <vector>

namespace kite {
namespace sip {

namespace {

// One provider for the life of the process (only hashing and random
// numbers, no keys: a verify context).
class Provider {
public:
    Provider() {
        if (!::CryptAcquireContextW(&m_prov, nullptr, nullptr, PROV_RSA_FULL,
                                    CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
            m_prov = 0;
    }
    ~Provider() {
        if (m_prov)
            ::CryptReleaseContext(m_prov, 0);
    }
    HCRYPTPROV Get() const { return m_prov; }

private:
    HCRYPTPROV m_prov = 0;
};

HCRYPTPROV TheProvider() {
    static Provider provider;
    return provider.Get();
}

std::string Hex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

} // namespace

std::string Md5Hex(const std::string& data) {
    HCRYPTPROV prov = TheProvider();
    HCRYPTHASH hash = 0;
    if (!prov || !::CryptCreateHash(prov, CALG_MD5, 0, 0, &hash))
        return std::string();
    std::string out;
    unsigned char digest[16];
    DWORD size = sizeof(digest);
    if (::CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size()), 0) &&
        ::CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) && size == sizeof(digest))
        out = Hex(digest, sizeof(digest));
    ::CryptDestroyHash(hash);
    return out;
}

std::string RandomHex(size_t bytes) {
    std::vector<unsigned char> buf(bytes ? bytes : 1);
    HCRYPTPROV prov = TheProvider();
    if (!prov || !::CryptGenRandom(prov, static_cast<DWORD>(buf.size()), buf.data())) {
        // Without the generator: unique enough for tags and branches,
        // never used for anything secret.
        static unsigned long counter = 0;
        unsigned long long seed = ::GetTickCount64() ^
                                  (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                                  ++counter;
        for (unsigned char& b : buf) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            b = static_cast<unsigned char>(seed >> 56);
        }
    }
    return Hex(buf.data(), bytes);
}

bool ParseChallenge(const std::string& value, DigestChallenge& out) {
    out = DigestChallenge();
    size_t pos = 0;
    std::string scheme = NextToken(value, pos);
    if (!EqualNoCase(scheme, "Digest"))
        return false;
    bool qopOffered = false;
    std::vector<Param> params = ParseParams(value, pos, ',');
    for (const Param& p : params) {
        if (EqualNoCase(p.name, "realm"))
            out.realm = p.value;
        else if (EqualNoCase(p.name, "nonce"))
            out.nonce = p.value;
        else if (EqualNoCase(p.name, "opaque"))
            out.opaque = p.value;
        else if (EqualNoCase(p.name, "algorithm"))
            out.algorithm = p.value;
        else if (EqualNoCase(p.name, "stale"))
            out.stale = EqualNoCase(p.value, "true");
        else if (EqualNoCase(p.name, "qop")) {
            qopOffered = true;
            for (const std::string& q : SplitList(p.value, ','))
                if (EqualNoCase(q, "auth"))
                    out.qopAuth = true;
        }
    }
    if (out.nonce.empty())
        return false;
    if (!out.algorithm.empty() && !EqualNoCase(out.algorithm, "MD5"))
        return false;
    if (qopOffered && !out.qopAuth)
        return false;
    return true;
}

std::string DigestResponse(const std::string& user, const std::string& realm,
                           const std::string& password, const std::string& method,
                           const std::string& uri, const std::string& nonce, const std::string& qop,
                           const std::string& nc, const std::string& cnonce) {
    std::string ha1 = Md5Hex(user + ":" + realm + ":" + password);
    std::string ha2 = Md5Hex(method + ":" + uri);
    if (ha1.empty() || ha2.empty())
        return std::string();
    if (qop.empty())
        return Md5Hex(ha1 + ":" + nonce + ":" + ha2);
    return Md5Hex(ha1 + ":" + nonce + ":" + nc + ":" + cnonce + ":" + qop + ":" + ha2);
}

std::string AuthorizationValue(const DigestChallenge& c, const std::string& user,
                               const std::string& password, const std::string& method,
                               const std::string& uri, unsigned nc, const std::string& cnonce) {
    char ncText[16];
    std::snprintf(ncText, sizeof(ncText), "%08x", nc);
    std::string qop = c.qopAuth ? "auth" : "";
    std::string response =
        DigestResponse(user, c.realm, password, method, uri, c.nonce, qop, ncText, cnonce);
    std::string v = "Digest username=" + Quote(user) + ", realm=" + Quote(c.realm) +
                    ", nonce=" + Quote(c.nonce) + ", uri=" + Quote(uri) +
                    ", response=" + Quote(response) + ", algorithm=MD5";
    if (c.qopAuth)
        v += ", qop=auth, nc=" + std::string(ncText) + ", cnonce=" + Quote(cnonce);
    if (!c.opaque.empty())
        v += ", opaque=" + Quote(c.opaque);
    return v;
}

} // namespace sip
} // namespace kite
