#include "Registrar.h"

#include "IniDoc.h"
#include "TextUtil.h"

namespace kite {

namespace {

struct Job {
    std::wstring table;
    RegistrationRequest request;
    bool deregister;
    DWORD delayMs;
    HWND sink;
    UINT msg;
    WPARAM ticket;
};

int Decide(const std::wstring& table, const RegistrationRequest& req) {
    if (!req.serverReachable)
        return REG_TIMEOUT;
    IniDoc doc;
    doc.Load(table);
    std::wstring section = L"Account:" + req.account;
    if (req.account.empty() || !doc.HasSection(section))
        return REG_NOT_FOUND;
    if (doc.Get(section, L"Password") != req.password)
        return REG_FORBIDDEN;
    return REG_OK;
}

DWORD WINAPI AnswerProc(LPVOID param) {
    Job* job = static_cast<Job*>(param);
    ::Sleep(job->delayMs);
    int code = job->deregister ? REG_OK : Decide(job->table, job->request);
    ::PostMessageW(job->sink, job->msg, job->ticket, static_cast<LPARAM>(code));
    delete job;
    return 0;
}

void Start(Job* job) {
    HANDLE h = ::CreateThread(nullptr, 0, &AnswerProc, job, 0, nullptr);
    if (h)
        ::CloseHandle(h);
    else
        delete job;
}

} // namespace

Registrar::Registrar(const std::wstring& table, const std::wstring& defaults) : m_table(table) {
    if (!FileExists(m_table) && FileExists(defaults)) {
        std::string bytes;
        if (ReadFileBytes(defaults, bytes))
            WriteFileBytes(m_table, bytes);
    }
    IniDoc doc;
    doc.Load(m_table);
    int delay = doc.GetInt(L"Registrar", L"DelayMs", static_cast<int>(m_delayMs));
    if (delay >= 0)
        m_delayMs = static_cast<DWORD>(delay);
}

void Registrar::Submit(HWND sink, UINT msg, WPARAM ticket, const RegistrationRequest& req) const {
    Start(new Job{m_table, req, false, m_delayMs, sink, msg, ticket});
}

void Registrar::SubmitDeregistration(HWND sink, UINT msg, WPARAM ticket) const {
    Start(new Job{m_table, RegistrationRequest(), true, m_delayMs, sink, msg, ticket});
}

int Registrar::Answer(const RegistrationRequest& req) const {
    return Decide(m_table, req);
}

std::wstring Registrar::DomainOf(const std::wstring& account) const {
    IniDoc doc;
    doc.Load(m_table);
    return doc.Get(L"Account:" + account, L"Domain");
}

std::wstring Registrar::NameOf(const std::wstring& account) const {
    IniDoc doc;
    doc.Load(m_table);
    return doc.Get(L"Account:" + account, L"Name");
}

} // namespace kite
