#include "sip/SipMessage.h"

#include "sip/SipText.h"

#include <cstring>

namespace kite {
namespace sip {

namespace {

// Compact header names (RFC 3261 7.3.3 and the registered ones).
std::string LongName(const std::string& lowerName) {
    if (lowerName.size() != 1)
        return lowerName;
    switch (lowerName[0]) {
    case 'v':
        return "via";
    case 'f':
        return "from";
    case 't':
        return "to";
    case 'i':
        return "call-id";
    case 'm':
        return "contact";
    case 'l':
        return "content-length";
    case 'c':
        return "content-type";
    case 'e':
        return "content-encoding";
    case 'k':
        return "supported";
    case 's':
        return "subject";
    default:
        return lowerName;
    }
}

bool IsHeaderNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("-.!%*_+`'~", c) != nullptr);
}

bool ParseStatusLine(const std::string& line, Response& out) {
    // SIP/2.0 SP 3DIGIT SP reason
    if (line.size() < 12 || line.compare(0, 8, "SIP/2.0 ") != 0)
        return false;
    for (int i = 8; i < 11; ++i)
        if (line[i] < '0' || line[i] > '9')
            return false;
    if (line.size() > 11 && line[11] != ' ')
        return false;
    out.code = (line[8] - '0') * 100 + (line[9] - '0') * 10 + (line[10] - '0');
    if (out.code < 100 || out.code > 699)
        return false;
    out.reason = line.size() > 12 ? line.substr(12) : std::string();
    return true;
}

bool LooksLikeRequest(const std::string& line) {
    // METHOD SP Request-URI SP SIP/2.0
    size_t sp = line.find(' ');
    return sp != std::string::npos && sp > 0 && line.size() > 8 &&
           line.compare(line.size() - 8, 8, " SIP/2.0") == 0;
}

bool ParsePort(const std::string& s, uint16_t& out) {
    uint32_t v = 0;
    if (!ParseNumber(s, v) || v == 0 || v > 65535)
        return false;
    out = static_cast<uint16_t>(v);
    return true;
}

} // namespace

const char* ReadResultName(ReadResult r) {
    switch (r) {
    case ReadResult::Ok:
        return "ok";
    case ReadResult::Oversized:
        return "oversized";
    case ReadResult::Request:
        return "a request, not a response";
    case ReadResult::Malformed:
        return "malformed";
    case ReadResult::Truncated:
        return "truncated";
    }
    return "?";
}

const std::string* Response::Find(const char* name) const {
    for (const Header& h : headers)
        if (h.name == name)
            return &h.value;
    return nullptr;
}

std::vector<std::string> Response::All(const char* name) const {
    std::vector<std::string> out;
    for (const Header& h : headers)
        if (h.name == name)
            for (const std::string& part : SplitList(h.value, ','))
                out.push_back(part);
    return out;
}

bool Response::TopVia(Via& out) const {
    const std::string* v = Find("via");
    if (!v)
        return false;
    std::vector<std::string> parts = SplitList(*v, ',');
    return !parts.empty() && ParseVia(parts[0], out);
}

bool Response::GetCSeq(CSeq& out) const {
    const std::string* v = Find("cseq");
    return v && ParseCSeq(*v, out);
}

std::string Response::CallId() const {
    const std::string* v = Find("call-id");
    return v ? *v : std::string();
}

ReadResult ReadResponse(const char* data, size_t size, Response& out) {
    out = Response();
    if (size > kMaxResponseBytes)
        return ReadResult::Oversized;
    if (size == 0 || !data)
        return ReadResult::Malformed;
    std::string text(data, size);
    size_t end = text.find("\r\n\r\n");
    size_t bodyStart = end == std::string::npos ? std::string::npos : end + 4;
    if (end == std::string::npos) {
        // Bare line feeds are tolerated, as RFC 3261 asks of receivers.
        end = text.find("\n\n");
        bodyStart = end == std::string::npos ? std::string::npos : end + 2;
    }
    std::string head = end == std::string::npos ? text : text.substr(0, end);
    if (head.find('\0') != std::string::npos)
        return ReadResult::Malformed;

    // Lines of the head, continuation lines joined to the header before.
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= head.size()) {
        size_t nl = head.find('\n', pos);
        std::string line = head.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!lines.empty() && lines.size() > 1 && !line.empty() &&
            (line[0] == ' ' || line[0] == '\t'))
            lines.back() += " " + TrimWs(line);
        else
            lines.push_back(line);
        if (nl == std::string::npos)
            break;
        pos = nl + 1;
    }
    if (lines.empty() || !ParseStatusLine(lines[0], out)) {
        if (!lines.empty() && LooksLikeRequest(lines[0]))
            return ReadResult::Request;
        return ReadResult::Malformed;
    }
    if (lines.size() - 1 > kMaxHeaders)
        return ReadResult::Malformed;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            return end == std::string::npos && i + 1 == lines.size() ? ReadResult::Truncated
                                                                     : ReadResult::Malformed;
        std::string name = TrimWs(line.substr(0, colon));
        for (char c : name)
            if (!IsHeaderNameChar(c))
                return ReadResult::Malformed;
        out.headers.push_back({LongName(Lower(name)), TrimWs(line.substr(colon + 1))});
    }
    // Without the blank line the headers were cut off on the way.
    if (end == std::string::npos)
        return ReadResult::Truncated;

    for (const char* mandatory : {"via", "from", "to", "call-id", "cseq"})
        if (!out.Find(mandatory))
            return ReadResult::Malformed;
    CSeq cseq;
    Via via;
    if (!out.GetCSeq(cseq) || !out.TopVia(via) || out.CallId().empty())
        return ReadResult::Malformed;

    std::string body = text.substr(bodyStart);
    if (const std::string* cl = out.Find("content-length")) {
        uint32_t length = 0;
        if (!ParseNumber(*cl, length))
            return ReadResult::Malformed;
        if (length > body.size())
            return ReadResult::Truncated;
        body.resize(length); // anything after the declared body is dropped
    }
    out.body = body;
    return ReadResult::Ok;
}

bool ParseVia(const std::string& value, Via& out) {
    out = Via();
    // SIP/2.0/UDP host[:port] *(;param)
    size_t slash = 0;
    std::string protocol;
    size_t pos = 0;
    while (pos < value.size() && value[pos] != ' ' && value[pos] != '\t')
        ++pos;
    protocol = value.substr(0, pos);
    slash = protocol.rfind('/');
    if (slash == std::string::npos || !EqualNoCase(protocol.substr(0, slash), "SIP/2.0"))
        return false;
    out.transport = protocol.substr(slash + 1);
    size_t semi = value.find(';', pos);
    std::string sentBy =
        TrimWs(value.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos));
    if (sentBy.empty())
        return false;
    size_t colon = sentBy.rfind(':');
    if (colon != std::string::npos && sentBy.find(']') == std::string::npos) {
        out.host = sentBy.substr(0, colon);
        if (!ParsePort(sentBy.substr(colon + 1), out.port))
            return false;
    } else {
        out.host = sentBy;
    }
    if (semi != std::string::npos) {
        std::vector<Param> params = ParseParams(value, semi + 1, ';');
        out.branch = FindParam(params, "branch");
        out.received = FindParam(params, "received");
        std::string rport = FindParam(params, "rport", &out.hasRport);
        if (out.hasRport && !rport.empty() && !ParsePort(rport, out.rport))
            return false;
    }
    return !out.host.empty();
}

bool ParseCSeq(const std::string& value, CSeq& out) {
    size_t pos = 0;
    std::string number = NextToken(value, pos);
    std::string method = NextToken(value, pos);
    if (!ParseNumber(number, out.number) || method.empty())
        return false;
    if (!TrimWs(value.substr(pos)).empty())
        return false;
    out.method = method;
    return true;
}

bool ParseContact(const std::string& value, ContactValue& out) {
    out = ContactValue();
    size_t paramsAt;
    size_t lt = value.find('<');
    if (lt != std::string::npos) {
        size_t gt = value.find('>', lt);
        if (gt == std::string::npos)
            return false;
        out.uri = value.substr(lt + 1, gt - lt - 1);
        paramsAt = value.find(';', gt);
    } else {
        size_t semi = value.find(';');
        out.uri = TrimWs(value.substr(0, semi));
        paramsAt = semi;
    }
    if (out.uri.empty())
        return false;
    if (paramsAt != std::string::npos) {
        std::vector<Param> params = ParseParams(value, paramsAt + 1, ';');
        bool found = false;
        std::string expires = FindParam(params, "expires", &found);
        if (found && ParseNumber(expires, out.expires))
            out.hasExpires = true;
    }
    return true;
}

std::string UriKey(const std::string& uri) {
    // sip:user@host:port;params -> user@host:port
    std::string s = uri;
    size_t colon = s.find(':');
    if (colon != std::string::npos && EqualNoCase(s.substr(0, colon), "sip"))
        s = s.substr(colon + 1);
    size_t semi = s.find(';');
    if (semi != std::string::npos)
        s = s.substr(0, semi);
    size_t at = s.find('@');
    std::string user = at == std::string::npos ? std::string() : s.substr(0, at + 1);
    std::string hostPort = at == std::string::npos ? s : s.substr(at + 1);
    if (hostPort.find(':') == std::string::npos)
        hostPort += ":5060";
    return user + Lower(hostPort);
}

std::string RegisterRequest::Serialize() const {
    std::string m = "REGISTER " + requestUri + " SIP/2.0\r\n";
    m += "Via: SIP/2.0/UDP " + viaHost + ":" + std::to_string(viaPort) + ";rport;branch=" + branch +
         "\r\n";
    m += "Max-Forwards: " + std::to_string(maxForwards) + "\r\n";
    m += "From: <" + aor + ">;tag=" + fromTag + "\r\n";
    m += "To: <" + aor + ">\r\n";
    m += "Call-ID: " + callId + "\r\n";
    m += "CSeq: " + std::to_string(cseq) + " REGISTER\r\n";
    m += "Contact: <" + contactUri + ">\r\n";
    for (const std::string& old : removeContacts)
        m += "Contact: <" + old + ">;expires=0\r\n";
    m += "Expires: " + std::to_string(expires) + "\r\n";
    if (!authHeader.empty())
        m += authHeader + ": " + authValue + "\r\n";
    if (!userAgent.empty())
        m += "User-Agent: " + userAgent + "\r\n";
    m += "Content-Length: 0\r\n\r\n";
    return m;
}

} // namespace sip
} // namespace kite
