#include <winsock2.h>
#include <ws2tcpip.h>

#include "SipTestKit.h"

#include <cctype>
#include <cstdlib>

namespace kitetest {

namespace {

std::string LowerText(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Lines(const std::string& message) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < message.size()) {
        size_t nl = message.find("\r\n", pos);
        if (nl == std::string::npos || nl == pos)
            break;
        out.push_back(message.substr(pos, nl - pos));
        pos = nl + 2;
    }
    return out;
}

} // namespace

std::wstring RegistrarOption() {
    const char* v = std::getenv("SIGNDESK_REGISTRAR");
    if (!v)
        return std::wstring();
    std::string s(v);
    return std::wstring(s.begin(), s.end());
}

std::wstring RegistrarPort(int which) {
    std::wstring option = RegistrarOption();
    size_t comma = option.find(L',');
    std::wstring one = which == 0 ? option.substr(0, comma)
                                  : (comma == std::wstring::npos ? L"" : option.substr(comma + 1));
    size_t colon = one.rfind(L':');
    return colon == std::wstring::npos ? std::wstring() : one.substr(colon + 1);
}

std::string RegistrarHelp() {
    return "no registrar: run this test through ctest or tests/host/with_registrar.sh, which "
           "start Kamailio and set SIGNDESK_REGISTRAR";
}

std::vector<std::string> HeadersOf(const std::string& message, const std::string& name) {
    std::vector<std::string> out;
    std::vector<std::string> lines = Lines(message);
    for (size_t i = 1; i < lines.size(); ++i) {
        size_t colon = lines[i].find(':');
        if (colon != std::string::npos && LowerText(lines[i].substr(0, colon)) == LowerText(name)) {
            size_t v = colon + 1;
            while (v < lines[i].size() && lines[i][v] == ' ')
                ++v;
            out.push_back(lines[i].substr(v));
        }
    }
    return out;
}

std::string HeaderOf(const std::string& message, const std::string& name) {
    std::vector<std::string> all = HeadersOf(message, name);
    return all.empty() ? std::string() : all.front();
}

std::string AnswerTo(const std::string& request, int code, const std::string& reason,
                     const std::string& extra) {
    std::string via = HeaderOf(request, "Via");
    size_t rport = via.find(";rport");
    if (rport != std::string::npos && (rport + 6 == via.size() || via[rport + 6] == ';')) {
        std::string sentBy = via.substr(via.find(' ') + 1);
        sentBy = sentBy.substr(0, sentBy.find(';'));
        std::string port = sentBy.substr(sentBy.rfind(':') + 1);
        via.replace(rport, 6, ";rport=" + port);
    }
    via += ";received=127.0.0.1";
    std::string m = "SIP/2.0 " + std::to_string(code) + " " + reason + "\r\n";
    m += "Via: " + via + "\r\n";
    m += "From: " + HeaderOf(request, "From") + "\r\n";
    m += "To: " + HeaderOf(request, "To") + ";tag=reg1\r\n";
    m += "Call-ID: " + HeaderOf(request, "Call-ID") + "\r\n";
    m += "CSeq: " + HeaderOf(request, "CSeq") + "\r\n";
    m += extra;
    m += "Content-Length: 0\r\n\r\n";
    return m;
}

ScriptedRegistrar::ScriptedRegistrar(Script script) : m_script(std::move(script)) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    int len = sizeof(a);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    m_socket = s;
    m_thread = ::CreateThread(nullptr, 0, &ScriptedRegistrar::ThreadProc, this, 0, nullptr);
}

ScriptedRegistrar::~ScriptedRegistrar() {
    ::InterlockedExchange(&m_stop, 1);
    if (m_thread) {
        ::WaitForSingleObject(m_thread, 5000);
        ::CloseHandle(m_thread);
    }
    ::closesocket(static_cast<SOCKET>(m_socket));
    ::WSACleanup();
}

std::vector<ScriptedRegistrar::Request> ScriptedRegistrar::Requests() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

void ScriptedRegistrar::SetSilent(bool silent) {
    ::InterlockedExchange(&m_silent, silent ? 1 : 0);
}

DWORD WINAPI ScriptedRegistrar::ThreadProc(LPVOID self) {
    static_cast<ScriptedRegistrar*>(self)->Run();
    return 0;
}

void ScriptedRegistrar::Run() {
    SOCKET s = static_cast<SOCKET>(m_socket);
    std::vector<char> buf(65536);
    // Bounded: the test ends it, and it never runs longer than a minute.
    uint64_t end = ::GetTickCount64() + 60000;
    while (!m_stop && ::GetTickCount64() < end) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval tv = {0, 20000};
        if (::select(0, &set, nullptr, nullptr, &tv) <= 0)
            continue;
        sockaddr_in from = {};
        int len = sizeof(from);
        int n = ::recvfrom(s, buf.data(), static_cast<int>(buf.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), &len);
        if (n <= 0)
            continue;
        std::string request(buf.data(), static_cast<size_t>(n));
        int index;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            index = static_cast<int>(m_requests.size());
            m_requests.push_back(Request{request, ::GetTickCount64()});
        }
        if (m_silent)
            continue;
        for (const std::string& answer : m_script(request, index))
            ::sendto(s, answer.data(), static_cast<int>(answer.size()), 0,
                     reinterpret_cast<sockaddr*>(&from), len);
    }
}

int Count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos;
         pos = text.find(needle, pos + needle.size()))
        ++n;
    return n;
}

} // namespace kitetest
