// CString: a wide, pointer-sized string. The buffer always lives on the
// framework's heap, so strings may cross module boundaries freely.
#pragma once

#include "afxver.h"
#include <cstdarg>

class AFX_API CString {
public:
    CString() : m_pszData(NULL) {}
    CString(const wchar_t* psz);
    CString(const wchar_t* pch, int nLength);
    CString(wchar_t ch, int nRepeat = 1);
    explicit CString(const char* psz); // narrow text in the ANSI code page
    CString(const CString& src);
    ~CString();

    CString& operator=(const CString& src);
    CString& operator=(const wchar_t* psz);
    CString& operator=(wchar_t ch);

    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    const wchar_t* GetString() const { return m_pszData ? m_pszData : L""; }
    operator const wchar_t*() const { return GetString(); }
    wchar_t GetAt(int nIndex) const;
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, wchar_t ch);

    CString& operator+=(const CString& s) { return Append(s.GetString(), s.GetLength()); }
    CString& operator+=(const wchar_t* psz);
    CString& operator+=(wchar_t ch) { return Append(&ch, 1); }
    CString& Append(const wchar_t* pch, int nLength);

    int Compare(const wchar_t* psz) const;
    int CompareNoCase(const wchar_t* psz) const;

    int Find(wchar_t ch, int iStart = 0) const;
    int Find(const wchar_t* pszSub, int iStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int iFirst) const;
    CString Mid(int iFirst, int nCount) const;

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    int Delete(int iIndex, int nCount = 1);
    int Insert(int iIndex, wchar_t ch);
    int Insert(int iIndex, const wchar_t* psz);
    int Replace(const wchar_t* pszOld, const wchar_t* pszNew);
    CString& MakeUpper();
    CString& MakeLower();

    // printf-style formatting with the Windows conventions (%s is wide).
    void Format(const wchar_t* pszFormat, ...);
    void FormatV(const wchar_t* pszFormat, va_list args);
    void AppendFormat(const wchar_t* pszFormat, ...);

    wchar_t* GetBuffer(int nMinBufferLength);
    wchar_t* GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    void Reserve(int nChars);
    void SetLength(int nLength);

    wchar_t* m_pszData; // null means empty
};

AFX_API CString operator+(const CString& a, const CString& b);
AFX_API CString operator+(const CString& a, const wchar_t* b);
AFX_API CString operator+(const wchar_t* a, const CString& b);
AFX_API CString operator+(const CString& a, wchar_t b);

inline bool operator==(const CString& a, const CString& b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, const wchar_t* b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const wchar_t* a, const CString& b) {
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) {
    return a.Compare(b) != 0;
}
inline bool operator!=(const CString& a, const wchar_t* b) {
    return a.Compare(b) != 0;
}
inline bool operator!=(const wchar_t* a, const CString& b) {
    return b.Compare(a) != 0;
}
inline bool operator<(const CString& a, const CString& b) {
    return a.Compare(b) < 0;
}
