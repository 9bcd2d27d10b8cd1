// CSkinEditEx: an edit control that takes only the characters of its mask.
#include "SkinMagicExU.h"

namespace {
const UINT kCtrlV = 0x16; // the character Ctrl+V types

// The clipboard's text, empty when it holds none.
CString ClipboardText(HWND hOwner) {
    CString text;
    if (!::OpenClipboard(hOwner))
        return text;
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
            text = p;
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return text;
}

// Whether every character of text is in the mask (an empty mask takes all).
bool MaskAccepts(const CString& mask, const CString& text) {
    if (mask.IsEmpty())
        return true;
    for (int i = 0; i < text.GetLength(); ++i)
        if (mask.Find(text[i]) < 0)
            return false;
    return true;
}
} // namespace

BEGIN_MESSAGE_MAP(CSkinEditEx, CEdit)
ON_WM_CHAR()
ON_MESSAGE(WM_PASTE, OnPaste)
END_MESSAGE_MAP()

CSkinEditEx::CSkinEditEx() = default;
CSkinEditEx::~CSkinEditEx() = default;

void CSkinEditEx::SetMask(LPCWSTR lpszMask) {
    m_strMask = lpszMask ? lpszMask : L"";
}

CString CSkinEditEx::GetMask() const {
    return m_strMask;
}

void CSkinEditEx::OnChar(UINT nChar, UINT, UINT) {
    // Control characters (Backspace, Ctrl+C, Ctrl+X, ...) keep their meaning;
    // Ctrl+V pastes only what the mask allows.
    bool allowed = nChar < 0x20 ? (nChar != kCtrlV || MaskAccepts(m_strMask, ClipboardText(m_hWnd)))
                                : MaskAccepts(m_strMask, CString(static_cast<wchar_t>(nChar)));
    if (allowed)
        Default();
    else
        ::MessageBeep(MB_OK);
}

LRESULT CSkinEditEx::OnPaste(WPARAM, LPARAM) {
    if (MaskAccepts(m_strMask, ClipboardText(m_hWnd)))
        return Default();
    ::MessageBeep(MB_OK);
    return 0;
}
