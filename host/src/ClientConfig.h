// The client's configuration file "kite.ini" beside the executable. The
// plug-in reads its own sections from it ([KiteLogIn] advertising lines,
// [UPGRADE] upgrade settings); the client keeps its own in [Client].
#pragma once

#include <string>

namespace kite {

class ClientConfig {
public:
    // path: the file; defaultsPath: the shipped file, copied there when the
    // file is missing.
    ClientConfig(const std::wstring& path, const std::wstring& defaultsPath);

    const std::wstring& Path() const { return m_path; }
    std::wstring AdminPassword() const;
    std::wstring Language() const;
    void SetLanguage(const std::wstring& code);
    std::wstring Get(const wchar_t* section, const wchar_t* key) const;
    void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value);
    // Puts the shipped file back.
    bool RestoreDefaults();

private:
    std::wstring m_path;
    std::wstring m_defaultsPath;
};

} // namespace kite
