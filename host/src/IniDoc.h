// An ini file held in memory, read from and written to a UTF-8 text file,
// so that every file of the client can be read and edited with any text
// editor. Sections and keys keep their order; comments before the first
// section are kept as the file's header. A value that needs it is written
// in double quotes with the escapes \" \\ \n \t.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kite {

class IniDoc {
public:
    typedef std::pair<std::wstring, std::wstring> Entry;

    // Reads the file; a missing file leaves nothing read and gives false.
    bool Load(const std::wstring& path);
    bool Save(const std::wstring& path) const;
    void Parse(const std::string& utf8);
    std::string Serialize() const;

    bool HasSection(const std::wstring& section) const;
    bool Has(const std::wstring& section, const std::wstring& key) const;
    std::wstring Get(const std::wstring& section, const std::wstring& key,
                     const std::wstring& fallback = std::wstring()) const;
    int GetInt(const std::wstring& section, const std::wstring& key, int fallback) const;
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void Remove(const std::wstring& section, const std::wstring& key);
    void RemoveSection(const std::wstring& section);
    void Clear();

    std::vector<std::wstring> Sections() const;
    // Sections whose name starts with prefix, in file order.
    std::vector<std::wstring> SectionsWithPrefix(const std::wstring& prefix) const;
    std::vector<Entry> Entries(const std::wstring& section) const;

    void SetHeader(const std::wstring& comment) { m_header = comment; }

private:
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
    };
    Section* Find(const std::wstring& name);
    const Section* Find(const std::wstring& name) const;

    std::wstring m_header;
    std::vector<Section> m_sections;
};

} // namespace kite
