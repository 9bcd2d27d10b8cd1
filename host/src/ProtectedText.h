// Saved passwords at rest: protected with the user's data-protection key
// (CryptProtectData), so that the client's files never hold one as plain
// text. A protected value is written as "dpapi:" and the protected blob in
// base64; an older file's plain value is still read (and the caller writes
// it back protected).
#pragma once

#include <string>

namespace kite {

// The stored form of plain; the empty text stays empty.
std::wstring ProtectText(const std::wstring& plain);
// The plain text of a stored value. wasPlain (may be null) tells whether
// the value was stored unprotected. A blob this user cannot open gives the
// empty text.
std::wstring UnprotectText(const std::wstring& stored, bool* wasPlain = nullptr);

} // namespace kite
