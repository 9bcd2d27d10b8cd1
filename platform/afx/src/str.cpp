#include "afxstr.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <utility>

// Layout of a string buffer: this header, then the characters and a zero.
namespace {
struct StrHeader {
    int nDataLength;
    int nAllocLength;
};

StrHeader* Header(wchar_t* p) {
    return reinterpret_cast<StrHeader*>(p) - 1;
}

int StrLen(const wchar_t* psz) {
    return psz ? static_cast<int>(wcslen(psz)) : 0;
}

bool IsBlank(wchar_t ch) {
    return iswspace(ch) != 0;
}
} // namespace

void CString::Reserve(int nChars) {
    if (nChars <= 0)
        return;
    if (m_pszData && Header(m_pszData)->nAllocLength >= nChars)
        return;
    int nAlloc = nChars < 16 ? 16 : nChars;
    if (m_pszData && nAlloc < Header(m_pszData)->nAllocLength * 2)
        nAlloc = Header(m_pszData)->nAllocLength * 2;
    void* block =
        std::malloc(sizeof(StrHeader) + (static_cast<size_t>(nAlloc) + 1) * sizeof(wchar_t));
    if (!block)
        throw std::bad_alloc();
    StrHeader* h = static_cast<StrHeader*>(block);
    h->nAllocLength = nAlloc;
    h->nDataLength = GetLength();
    wchar_t* p = reinterpret_cast<wchar_t*>(h + 1);
    if (m_pszData) {
        std::memcpy(p, m_pszData, (static_cast<size_t>(h->nDataLength) + 1) * sizeof(wchar_t));
        std::free(Header(m_pszData));
    } else {
        p[0] = 0;
    }
    m_pszData = p;
}

void CString::SetLength(int nLength) {
    if (nLength <= 0) {
        if (m_pszData) {
            Header(m_pszData)->nDataLength = 0;
            m_pszData[0] = 0;
        }
        return;
    }
    Reserve(nLength);
    Header(m_pszData)->nDataLength = nLength;
    m_pszData[nLength] = 0;
}

CString::CString(const wchar_t* psz) : m_pszData(nullptr) {
    Append(psz, StrLen(psz));
}

CString::CString(const wchar_t* pch, int nLength) : m_pszData(nullptr) {
    Append(pch, nLength);
}

CString::CString(wchar_t ch, int nRepeat) : m_pszData(nullptr) {
    if (nRepeat <= 0)
        return;
    SetLength(nRepeat);
    for (int i = 0; i < nRepeat; ++i)
        m_pszData[i] = ch;
}

CString::CString(const char* psz) : m_pszData(nullptr) {
    if (!psz || !*psz)
        return;
    int n = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    if (n <= 1)
        return;
    SetLength(n - 1);
    MultiByteToWideChar(CP_ACP, 0, psz, -1, m_pszData, n);
    SetLength(StrLen(m_pszData));
}

CString::CString(const CString& src) : m_pszData(nullptr) {
    Append(src.GetString(), src.GetLength());
}

CString::~CString() {
    if (m_pszData)
        std::free(Header(m_pszData));
}

CString& CString::operator=(const CString& src) {
    if (this != &src) {
        Empty();
        Append(src.GetString(), src.GetLength());
    }
    return *this;
}

CString& CString::operator=(const wchar_t* psz) {
    if (psz && m_pszData && psz >= m_pszData && psz <= m_pszData + GetLength()) {
        CString copy(psz);
        std::swap(m_pszData, copy.m_pszData);
        return *this;
    }
    Empty();
    return Append(psz, StrLen(psz));
}

CString& CString::operator=(wchar_t ch) {
    Empty();
    return Append(&ch, 1);
}

int CString::GetLength() const {
    return m_pszData ? Header(m_pszData)->nDataLength : 0;
}

void CString::Empty() {
    SetLength(0);
}

wchar_t CString::GetAt(int nIndex) const {
    return (nIndex >= 0 && nIndex < GetLength()) ? m_pszData[nIndex] : 0;
}

void CString::SetAt(int nIndex, wchar_t ch) {
    if (nIndex >= 0 && nIndex < GetLength())
        m_pszData[nIndex] = ch;
}

CString& CString::operator+=(const wchar_t* psz) {
    if (psz && m_pszData && psz >= m_pszData && psz <= m_pszData + GetLength()) {
        CString copy(psz);
        return Append(copy.GetString(), copy.GetLength());
    }
    return Append(psz, StrLen(psz));
}

CString& CString::Append(const wchar_t* pch, int nLength) {
    if (!pch || nLength <= 0)
        return *this;
    int nOld = GetLength();
    if (m_pszData && pch >= m_pszData && pch < m_pszData + nOld) {
        CString copy(pch, nLength);
        return Append(copy.m_pszData, nLength);
    }
    SetLength(nOld + nLength);
    std::memcpy(m_pszData + nOld, pch, static_cast<size_t>(nLength) * sizeof(wchar_t));
    return *this;
}

int CString::Compare(const wchar_t* psz) const {
    return wcscmp(GetString(), psz ? psz : L"");
}

int CString::CompareNoCase(const wchar_t* psz) const {
    return _wcsicmp(GetString(), psz ? psz : L"");
}

int CString::Find(wchar_t ch, int iStart) const {
    for (int i = iStart < 0 ? 0 : iStart; i < GetLength(); ++i)
        if (m_pszData[i] == ch)
            return i;
    return -1;
}

int CString::Find(const wchar_t* pszSub, int iStart) const {
    if (!pszSub || iStart < 0 || iStart > GetLength())
        return -1;
    const wchar_t* p = wcsstr(GetString() + iStart, pszSub);
    return p ? static_cast<int>(p - GetString()) : -1;
}

int CString::ReverseFind(wchar_t ch) const {
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pszData[i] == ch)
            return i;
    return -1;
}

CString CString::Left(int nCount) const {
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(GetString(), nCount);
}

CString CString::Right(int nCount) const {
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(GetString() + GetLength() - nCount, nCount);
}

CString CString::Mid(int iFirst) const {
    return Mid(iFirst, GetLength() - iFirst);
}

CString CString::Mid(int iFirst, int nCount) const {
    if (iFirst < 0)
        iFirst = 0;
    if (iFirst > GetLength())
        iFirst = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength() - iFirst)
        nCount = GetLength() - iFirst;
    return CString(GetString() + iFirst, nCount);
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft() {
    int n = 0;
    while (n < GetLength() && IsBlank(m_pszData[n]))
        ++n;
    Delete(0, n);
    return *this;
}

CString& CString::TrimRight() {
    int n = GetLength();
    while (n > 0 && IsBlank(m_pszData[n - 1]))
        --n;
    SetLength(n);
    return *this;
}

int CString::Delete(int iIndex, int nCount) {
    int nLength = GetLength();
    if (iIndex < 0)
        iIndex = 0;
    if (nCount > 0 && iIndex < nLength) {
        if (nCount > nLength - iIndex)
            nCount = nLength - iIndex;
        std::memmove(m_pszData + iIndex, m_pszData + iIndex + nCount,
                     static_cast<size_t>(nLength - iIndex - nCount + 1) * sizeof(wchar_t));
        Header(m_pszData)->nDataLength = nLength - nCount;
    }
    return GetLength();
}

int CString::Insert(int iIndex, wchar_t ch) {
    wchar_t sz[2] = {ch, 0};
    return Insert(iIndex, sz);
}

int CString::Insert(int iIndex, const wchar_t* psz) {
    CString ins(psz);
    int nIns = ins.GetLength();
    int nLength = GetLength();
    if (iIndex < 0)
        iIndex = 0;
    if (iIndex > nLength)
        iIndex = nLength;
    if (nIns > 0) {
        SetLength(nLength + nIns);
        std::memmove(m_pszData + iIndex + nIns, m_pszData + iIndex,
                     static_cast<size_t>(nLength - iIndex) * sizeof(wchar_t));
        std::memcpy(m_pszData + iIndex, ins.m_pszData, static_cast<size_t>(nIns) * sizeof(wchar_t));
    }
    return GetLength();
}

int CString::Replace(const wchar_t* pszOld, const wchar_t* pszNew) {
    int nOld = StrLen(pszOld);
    if (nOld == 0)
        return 0;
    CString result;
    int count = 0;
    int pos = 0;
    for (int hit; (hit = Find(pszOld, pos)) >= 0; pos = hit + nOld, ++count) {
        result.Append(GetString() + pos, hit - pos);
        result += pszNew;
    }
    if (count) {
        result.Append(GetString() + pos, GetLength() - pos);
        std::swap(m_pszData, result.m_pszData);
    }
    return count;
}

CString& CString::MakeUpper() {
    for (int i = 0; i < GetLength(); ++i)
        m_pszData[i] = static_cast<wchar_t>(towupper(m_pszData[i]));
    return *this;
}

CString& CString::MakeLower() {
    for (int i = 0; i < GetLength(); ++i)
        m_pszData[i] = static_cast<wchar_t>(towlower(m_pszData[i]));
    return *this;
}

void CString::Format(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* pszFormat, va_list args) {
    Empty();
    if (!pszFormat)
        return;
    // _vscwprintf/_vsnwprintf are the system's own: %s takes wide text.
    va_list count;
    va_copy(count, args);
    int n = _vscwprintf(pszFormat, count);
    va_end(count);
    if (n <= 0)
        return;
    SetLength(n);
    _vsnwprintf(m_pszData, static_cast<size_t>(n) + 1, pszFormat, args);
    m_pszData[n] = 0;
}

void CString::AppendFormat(const wchar_t* pszFormat, ...) {
    CString tail;
    va_list args;
    va_start(args, pszFormat);
    tail.FormatV(pszFormat, args);
    va_end(args);
    *this += tail;
}

wchar_t* CString::GetBuffer(int nMinBufferLength) {
    Reserve(nMinBufferLength > GetLength() ? nMinBufferLength
                                           : (GetLength() > 0 ? GetLength() : 1));
    return m_pszData;
}

wchar_t* CString::GetBufferSetLength(int nLength) {
    if (nLength <= 0) {
        GetBuffer(1);
        SetLength(0);
        return m_pszData;
    }
    SetLength(nLength);
    return m_pszData;
}

void CString::ReleaseBuffer(int nNewLength) {
    if (!m_pszData)
        return;
    if (nNewLength < 0)
        nNewLength = static_cast<int>(wcsnlen(m_pszData, Header(m_pszData)->nAllocLength));
    if (nNewLength > Header(m_pszData)->nAllocLength)
        nNewLength = Header(m_pszData)->nAllocLength;
    Header(m_pszData)->nDataLength = nNewLength;
    m_pszData[nNewLength] = 0;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const wchar_t* b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const wchar_t* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, wchar_t b) {
    CString r(a);
    r += b;
    return r;
}
