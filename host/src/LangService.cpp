#include "LangService.h"

#include "TextUtil.h"

namespace kite {

LangService::LangService(const std::wstring& langDir)
    : Component<IKITELang>(IID_IKITELang), m_dir(langDir) {}

std::wstring LangService::FileOf(const std::wstring& code) const {
    return JoinPath(m_dir, code + L".lang");
}

std::vector<LangService::Language> LangService::Available() const {
    std::vector<Language> out;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(JoinPath(m_dir, L"*.lang").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    do {
        std::wstring file = fd.cFileName;
        std::wstring code = file.substr(0, file.size() - 5);
        IniDoc doc;
        doc.Load(FileOf(code));
        out.push_back(Language{code, doc.Get(L"Language", L"Name", code)});
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return out;
}

bool LangService::Load(const std::wstring& code) {
    IniDoc doc;
    if (!doc.Load(FileOf(code)))
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    m_texts = doc;
    m_code = code;
    return true;
}

std::wstring LangService::Text(const std::wstring& section, const std::wstring& key) {
    std::lock_guard<std::mutex> guard(m_lock);
    Key k(section, key);
    m_asked.insert(k);
    if (!m_texts.Has(section, key)) {
        m_misses.emplace_back(m_code, k);
        return L"[" + section + L":" + key + L"]";
    }
    return m_texts.Get(section, key);
}

std::wstring LangService::Peek(const std::wstring& section, const std::wstring& key) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_texts.Get(section, key, L"[" + section + L":" + key + L"]");
}

bool LangService::KeyOf(const std::wstring& text, Key& key) const {
    std::lock_guard<std::mutex> guard(m_lock);
    bool found = false;
    for (const std::wstring& section : m_texts.Sections())
        for (const IniDoc::Entry& e : m_texts.Entries(section)) {
            if (e.second != text)
                continue;
            Key k(section, e.first);
            if (m_asked.count(k)) {
                key = k;
                return true;
            }
            if (!found)
                key = k;
            found = true;
        }
    return found;
}

std::wstring LangService::GetLangString(const wchar_t* key, const wchar_t* section) {
    return Text(section ? section : L"", key ? key : L"");
}

std::set<LangService::Key> LangService::Asked() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_asked;
}

std::vector<std::pair<std::wstring, LangService::Key>> LangService::Misses() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_misses;
}

void LangService::ClearRecord() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_asked.clear();
    m_misses.clear();
}

bool LangService::FileHas(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key) {
    IniDoc doc;
    return doc.Load(path) && doc.Has(section, key);
}

} // namespace kite
