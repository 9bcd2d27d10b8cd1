#include "IniDoc.h"

#include "TextUtil.h"

#include <windows.h>

namespace kite {

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Unquote(const std::wstring& raw) {
    std::wstring v = Trim(raw);
    if (v.size() < 2 || v.front() != L'"' || v.back() != L'"')
        return v;
    std::wstring out;
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        wchar_t c = v[i];
        if (c == L'\\' && i + 2 < v.size()) {
            wchar_t n = v[++i];
            out += n == L'n' ? L'\n' : n == L't' ? L'\t' : n;
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring Quote(const std::wstring& v) {
    bool plain = !v.empty() && v.front() != L' ' && v.back() != L' ' && v.front() != L'"' &&
                 v.find_first_of(L"\n\t\r;#") == std::wstring::npos;
    if (v.empty() || plain)
        return v;
    std::wstring out = L"\"";
    for (wchar_t c : v) {
        if (c == L'"' || c == L'\\')
            out += L'\\', out += c;
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\t')
            out += L"\\t";
        else if (c != L'\r')
            out += c;
    }
    return out + L"\"";
}

} // namespace

IniDoc::Section* IniDoc::Find(const std::wstring& name) {
    for (Section& s : m_sections)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

const IniDoc::Section* IniDoc::Find(const std::wstring& name) const {
    for (const Section& s : m_sections)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

bool IniDoc::Load(const std::wstring& path) {
    Clear();
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    Parse(bytes);
    return true;
}

bool IniDoc::Save(const std::wstring& path) const {
    return WriteFileBytes(path, Serialize());
}

void IniDoc::Parse(const std::string& utf8) {
    Clear();
    std::string bytes = utf8;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB &&
        static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.erase(0, 3);
    std::wstring text = FromUtf8(bytes);
    Section* current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        std::wstring t = Trim(line);
        if (t.empty())
            continue;
        if (t[0] == L';' || t[0] == L'#') {
            if (m_sections.empty())
                m_header += line + L"\n";
            continue;
        }
        if (t[0] == L'[' && t.back() == L']') {
            std::wstring name = Trim(t.substr(1, t.size() - 2));
            current = Find(name);
            if (!current) {
                m_sections.push_back(Section{name, {}});
                current = &m_sections.back();
            }
            continue;
        }
        size_t eq = t.find(L'=');
        if (!current || eq == std::wstring::npos)
            continue;
        Set(current->name, Trim(t.substr(0, eq)), Unquote(t.substr(eq + 1)));
        current = Find(current->name);
    }
}

std::string IniDoc::Serialize() const {
    std::wstring out = m_header;
    if (!out.empty() && out.back() != L'\n')
        out += L"\n";
    for (const Section& s : m_sections) {
        if (!out.empty())
            out += L"\n";
        out += L"[" + s.name + L"]\n";
        for (const Entry& e : s.entries)
            out += e.first + L"=" + Quote(e.second) + L"\n";
    }
    std::string utf8 = ToUtf8(out);
    std::string crlf;
    crlf.reserve(utf8.size() + utf8.size() / 16);
    for (char c : utf8) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

bool IniDoc::HasSection(const std::wstring& section) const {
    return Find(section) != nullptr;
}

bool IniDoc::Has(const std::wstring& section, const std::wstring& key) const {
    if (const Section* s = Find(section))
        for (const Entry& e : s->entries)
            if (SameName(e.first, key))
                return true;
    return false;
}

std::wstring IniDoc::Get(const std::wstring& section, const std::wstring& key,
                         const std::wstring& fallback) const {
    if (const Section* s = Find(section))
        for (const Entry& e : s->entries)
            if (SameName(e.first, key))
                return e.second;
    return fallback;
}

int IniDoc::GetInt(const std::wstring& section, const std::wstring& key, int fallback) const {
    return ToInt(Get(section, key), fallback);
}

void IniDoc::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    Section* s = Find(section);
    if (!s) {
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    for (Entry& e : s->entries)
        if (SameName(e.first, key)) {
            e.second = value;
            return;
        }
    s->entries.emplace_back(key, value);
}

void IniDoc::Remove(const std::wstring& section, const std::wstring& key) {
    if (Section* s = Find(section))
        for (auto it = s->entries.begin(); it != s->entries.end(); ++it)
            if (SameName(it->first, key)) {
                s->entries.erase(it);
                return;
            }
}

void IniDoc::RemoveSection(const std::wstring& section) {
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it)
        if (SameName(it->name, section)) {
            m_sections.erase(it);
            return;
        }
}

void IniDoc::Clear() {
    m_header.clear();
    m_sections.clear();
}

std::vector<std::wstring> IniDoc::Sections() const {
    std::vector<std::wstring> names;
    for (const Section& s : m_sections)
        names.push_back(s.name);
    return names;
}

std::vector<std::wstring> IniDoc::SectionsWithPrefix(const std::wstring& prefix) const {
    std::vector<std::wstring> names;
    for (const Section& s : m_sections)
        if (s.name.size() >= prefix.size() && SameName(s.name.substr(0, prefix.size()), prefix))
            names.push_back(s.name);
    return names;
}

std::vector<IniDoc::Entry> IniDoc::Entries(const std::wstring& section) const {
    if (const Section* s = Find(section))
        return s->entries;
    return {};
}

} // namespace kite
