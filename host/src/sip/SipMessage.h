// The SIP messages of registration (RFC 3261): the REGISTER request the
// client sends, and the responses it reads. A response comes from the
// network and is read as untrusted input: anything that is not a complete,
// well-formed response of a bounded size is refused with its reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kite {
namespace sip {

// Larger datagrams are not read at all: no registrar answer comes near it.
const size_t kMaxResponseBytes = 16384;
// More header lines than this make a response malformed.
const size_t kMaxHeaders = 128;

enum class ReadResult {
    Ok,
    Oversized, // more than kMaxResponseBytes
    Request,   // a request, where a response was expected
    Malformed, // no status line, a broken header, a missing mandatory header
    Truncated, // the headers do not end, or the body is shorter than Content-Length
};
const char* ReadResultName(ReadResult r);

struct Header {
    std::string name; // lower case, compact forms expanded ("i" -> "call-id")
    std::string value;
};

struct Via {
    std::string transport; // "UDP"
    std::string host;
    uint16_t port = 0; // 0 when the sent-by has none
    std::string branch;
    std::string received; // empty when absent
    bool hasRport = false;
    uint16_t rport = 0; // 0 when absent or without a value
};

struct CSeq {
    uint32_t number = 0;
    std::string method;
};

struct Response {
    int code = 0;
    std::string reason;
    std::vector<Header> headers;
    std::string body;

    // The first value of a header (name in lower case); null when absent.
    const std::string* Find(const char* name) const;
    // Every value of a header, comma-separated values split apart.
    std::vector<std::string> All(const char* name) const;
    // The topmost Via; false when it cannot be read.
    bool TopVia(Via& out) const;
    bool GetCSeq(CSeq& out) const;
    std::string CallId() const;
};

ReadResult ReadResponse(const char* data, size_t size, Response& out);

bool ParseVia(const std::string& value, Via& out);
bool ParseCSeq(const std::string& value, CSeq& out);

// One Contact value: its URI (between < >, or up to the first ;) and
// parameters.
struct ContactValue {
    std::string uri;
    bool hasExpires = false;
    uint32_t expires = 0;
};
bool ParseContact(const std::string& value, ContactValue& out);
// user@host:port of a SIP URI, host in lower case, for comparing bindings.
std::string UriKey(const std::string& uri);

struct RegisterRequest {
    std::string requestUri; // sip:domain
    std::string viaHost;
    uint16_t viaPort = 0;
    std::string branch;
    std::string aor; // sip:user@domain, in From and To
    std::string fromTag;
    std::string callId;
    uint32_t cseq = 1;
    std::string contactUri;
    // Earlier contacts of this binding to remove (sent with expires=0).
    std::vector<std::string> removeContacts;
    uint32_t expires = 3600;
    // "Authorization" or "Proxy-Authorization" with its value; empty: none.
    std::string authHeader;
    std::string authValue;
    std::string userAgent;
    int maxForwards = 70;

    std::string Serialize() const;
};

} // namespace sip
} // namespace kite
