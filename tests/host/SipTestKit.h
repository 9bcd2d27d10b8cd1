// What the client's SIP tests share: the registrar the test run started
// (tests/host/with_registrar.sh), answers built from a request the way a
// registrar builds them, and a scripted registrar of the test's own on a
// loopback port that answers what the test tells it to.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kitetest {

// "127.0.0.1:port,127.0.0.1:port" of the registrar of this test run (main
// and backup port); empty when the test runs without one.
std::wstring RegistrarOption();
std::wstring RegistrarPort(int which); // 0 main, 1 backup
std::string RegistrarHelp();

// The value of a header of a message (first one, name case-insensitive).
std::string HeaderOf(const std::string& message, const std::string& name);
// Every value of a header, in order.
std::vector<std::string> HeadersOf(const std::string& message, const std::string& name);

// A response to request as a registrar writes it: Via (with received and
// rport), From, To (with a tag), Call-ID and CSeq copied; extra is more
// header lines, each ending in CRLF.
std::string AnswerTo(const std::string& request, int code, const std::string& reason,
                     const std::string& extra = std::string());

// A registrar of the test's own: a UDP socket on 127.0.0.1 and a thread
// that hands every datagram to the script and sends back what it returns.
class ScriptedRegistrar {
public:
    struct Request {
        std::string text;
        uint64_t at; // GetTickCount64 when it arrived
    };
    // request, its number (0 first) -> the datagrams to send back.
    typedef std::function<std::vector<std::string>(const std::string&, int)> Script;

    explicit ScriptedRegistrar(Script script);
    ~ScriptedRegistrar();
    ScriptedRegistrar(const ScriptedRegistrar&) = delete;
    ScriptedRegistrar& operator=(const ScriptedRegistrar&) = delete;

    uint16_t Port() const { return m_port; }
    std::vector<Request> Requests() const;
    // Stops answering (requests are still recorded).
    void SetSilent(bool silent);

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    void Run();

    Script m_script;
    uintptr_t m_socket;
    uint16_t m_port = 0;
    HANDLE m_thread = nullptr;
    volatile LONG m_stop = 0;
    volatile LONG m_silent = 0;
    mutable std::mutex m_lock;
    std::vector<Request> m_requests;
};

// How often needle occurs in text.
int Count(const std::string& text, const std::string& needle);

} // namespace kitetest
