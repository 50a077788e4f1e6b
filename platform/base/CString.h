// Multibyte text in the ANSI code page (GBK). Byte semantics: lengths and indexes count bytes.
#pragma once

#include <cstdarg>
#include <string>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

class CString
{
public:
    CString() = default;
    CString(const char* psz) : m_s(psz ? psz : "") {}
    CString(const char* p, int nLength) : m_s(p ? std::string(p, nLength > 0 ? nLength : 0) : std::string()) {}
    CString(char ch, int nRepeat = 1) : m_s(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::string& s) : m_s(s) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* psz) { m_s = psz ? psz : ""; return *this; }
    CString& operator=(char ch) { m_s.assign(1, ch); return *this; }

    operator const char*() const { return m_s.c_str(); }
    const char* GetString() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    int GetLength() const { return (int)m_s.size(); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s.at((size_t)i); }
    void SetAt(int i, char ch) { m_s.at((size_t)i) = ch; }
    char operator[](int i) const { return GetAt(i); }

    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(const char* psz) { if (psz) m_s += psz; return *this; }
    CString& operator+=(char ch) { m_s += ch; return *this; }
    void Append(const char* psz) { if (psz) m_s += psz; }
    void Append(const char* p, int n) { if (p && n > 0) m_s.append(p, (size_t)n); }
    void AppendChar(char ch) { m_s += ch; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
    friend CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
    friend CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

    // Search: -1 when not found.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* psz, int nStart = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* pszSet) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(const char* pszSet) const;
    CString SpanExcluding(const char* pszSet) const;
    CString Tokenize(const char* pszTokens, int& iStart) const;

    // Trimming: without argument the C locale's white space.
    CString& Trim();
    CString& Trim(char ch);
    CString& Trim(const char* pszSet);
    CString& TrimLeft();
    CString& TrimLeft(char ch);
    CString& TrimLeft(const char* pszSet);
    CString& TrimRight();
    CString& TrimRight(char ch);
    CString& TrimRight(const char* pszSet);

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    int Replace(char chOld, char chNew);
    int Replace(const char* pszOld, const char* pszNew);
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, const char* psz);
    int Delete(int nIndex, int nCount = 1);
    void Truncate(int nNewLength);

    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* pszFormat, va_list args);

    // Direct buffer access; ReleaseBuffer(-1) takes the length up to the first NUL.
    char* GetBuffer(int nMinLength = 0);
    char* GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

    // String-table resource of the running program (see SetStringLoader).
    BOOL LoadString(UINT nID);
    typedef const char* (*StringLoader)(UINT nID);
    static void SetStringLoader(StringLoader loader);

private:
    std::string m_s;
};

PARVEL_BASE_END_EXPORTS
