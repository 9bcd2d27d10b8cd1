// The language service (IKITELang): texts by section and key from one
// language file per language ("lang\<code>.lang", UTF-8), switched while
// the client runs. Every lookup is recorded, so that a key that the current
// language file lacks is known (and shows as "[section:key]").
#pragma once

#include "Component.h"
#include "IniDoc.h"

#include "core/HostInterfaces.h"

#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kite {

class LangService : public Component<IKITELang> {
public:
    struct Language {
        std::wstring code; // file name without ".lang"
        std::wstring name; // in its own language
    };
    typedef std::pair<std::wstring, std::wstring> Key; // (section, key)

    explicit LangService(const std::wstring& langDir);

    // IKITELang
    std::wstring GetLangString(const wchar_t* key, const wchar_t* section) override;

    // The languages whose files are in the folder.
    std::vector<Language> Available() const;
    bool Load(const std::wstring& code);
    const std::wstring& Current() const { return m_code; }
    // A text for the client's own windows (recorded like the plug-in's).
    std::wstring Text(const std::wstring& section, const std::wstring& key);

    // The key whose text in the current language is text, preferring keys
    // asked for already; false when no key has it. The client shows texts it
    // is handed (the status text) again in the next language through it.
    bool KeyOf(const std::wstring& text, Key& key) const;

    // The text without recording the lookup (for checks of what is shown).
    std::wstring Peek(const std::wstring& section, const std::wstring& key) const;

    // Every (section, key) asked for since the last ClearRecord.
    std::set<Key> Asked() const;
    // Those of them the language loaded at the time did not have, with the
    // language code.
    std::vector<std::pair<std::wstring, Key>> Misses() const;
    void ClearRecord();

    std::wstring FileOf(const std::wstring& code) const;
    // Whether a language file has a key (for checks of the files).
    static bool FileHas(const std::wstring& path, const std::wstring& section,
                        const std::wstring& key);

private:
    std::wstring m_dir;
    std::wstring m_code;
    IniDoc m_texts;
    mutable std::mutex m_lock;
    std::set<Key> m_asked;
    std::vector<std::pair<std::wstring, Key>> m_misses;
};

} // namespace kite
