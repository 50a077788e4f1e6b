#include "CString.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c; }

CString::StringLoader g_loader = nullptr;

} // namespace

int CString::Compare(const char* psz) const
{
    int r = std::strcmp(m_s.c_str(), psz ? psz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* psz) const
{
    const char* a = m_s.c_str();
    const char* b = psz ? psz : "";
    for (;; ++a, ++b) {
        char ca = AsciiLower(*a), cb = AsciiLower(*b);
        if (ca != cb) return (unsigned char)ca < (unsigned char)cb ? -1 : 1;
        if (!ca) return 0;
    }
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength()) return -1;
    size_t p = m_s.find(ch, (size_t)nStart);
    return p == std::string::npos ? -1 : (int)p;
}

int CString::Find(const char* psz, int nStart) const
{
    if (!psz || nStart < 0 || nStart > GetLength()) return -1;
    size_t p = m_s.find(psz, (size_t)nStart);
    return p == std::string::npos ? -1 : (int)p;
}

int CString::ReverseFind(char ch) const
{
    size_t p = m_s.rfind(ch);
    return p == std::string::npos ? -1 : (int)p;
}

int CString::FindOneOf(const char* pszSet) const
{
    if (!pszSet) return -1;
    size_t p = m_s.find_first_of(pszSet);
    return p == std::string::npos ? -1 : (int)p;
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - (nFirst < 0 ? 0 : nFirst));
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (nFirst >= GetLength()) return CString();
    return CString(m_s.substr((size_t)nFirst, (size_t)nCount));
}

CString CString::Left(int nCount) const
{
    if (nCount <= 0) return CString();
    return CString(m_s.substr(0, (size_t)nCount));
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0) return CString();
    if (nCount >= GetLength()) return *this;
    return CString(m_s.substr(m_s.size() - (size_t)nCount));
}

CString CString::SpanIncluding(const char* pszSet) const
{
    if (!pszSet) return CString();
    size_t n = m_s.find_first_not_of(pszSet);
    return Left(n == std::string::npos ? GetLength() : (int)n);
}

CString CString::SpanExcluding(const char* pszSet) const
{
    if (!pszSet) return *this;
    size_t n = m_s.find_first_of(pszSet);
    return Left(n == std::string::npos ? GetLength() : (int)n);
}

CString CString::Tokenize(const char* pszTokens, int& iStart) const
{
    if (iStart < 0 || !pszTokens) { iStart = -1; return CString(); }
    size_t start = m_s.find_first_not_of(pszTokens, (size_t)iStart);
    if (start == std::string::npos || start >= m_s.size()) { iStart = -1; return CString(); }
    size_t end = m_s.find_first_of(pszTokens, start);
    if (end == std::string::npos) end = m_s.size();
    iStart = (int)(end + 1);
    return CString(m_s.substr(start, end - start));
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char* pszSet) { return TrimRight(pszSet).TrimLeft(pszSet); }

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_s.size() && IsCSpace(m_s[i])) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char ch)
{
    size_t i = 0;
    while (i < m_s.size() && m_s[i] == ch) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(const char* pszSet)
{
    if (!pszSet) return *this;
    size_t i = m_s.find_first_not_of(pszSet);
    m_s.erase(0, i == std::string::npos ? m_s.size() : i);
    return *this;
}

CString& CString::TrimRight()
{
    size_t n = m_s.size();
    while (n > 0 && IsCSpace(m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimRight(char ch)
{
    size_t n = m_s.size();
    while (n > 0 && m_s[n - 1] == ch) --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimRight(const char* pszSet)
{
    if (!pszSet) return *this;
    size_t i = m_s.find_last_not_of(pszSet);
    m_s.resize(i == std::string::npos ? 0 : i + 1);
    return *this;
}

// Case mapping touches ASCII only, and never the trail byte of a GBK character.
CString& CString::MakeUpper()
{
    for (size_t i = 0; i < m_s.size(); ++i) {
        if ((unsigned char)m_s[i] > 0x80) { ++i; continue; }
        m_s[i] = AsciiUpper(m_s[i]);
    }
    return *this;
}

CString& CString::MakeLower()
{
    for (size_t i = 0; i < m_s.size(); ++i) {
        if ((unsigned char)m_s[i] > 0x80) { ++i; continue; }
        m_s[i] = AsciiLower(m_s[i]);
    }
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_s.begin(), m_s.end());
    return *this;
}

int CString::Replace(char chOld, char chNew)
{
    int n = 0;
    for (char& c : m_s)
        if (c == chOld) { c = chNew; ++n; }
    return n;
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    if (!pszOld || !*pszOld) return 0;
    std::string from(pszOld), to(pszNew ? pszNew : "");
    int n = 0;
    size_t p = 0;
    while ((p = m_s.find(from, p)) != std::string::npos) {
        m_s.replace(p, from.size(), to);
        p += to.size();
        ++n;
    }
    return n;
}

int CString::Remove(char ch)
{
    size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
    return (int)(before - m_s.size());
}

int CString::Insert(int nIndex, char ch)
{
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    m_s.insert(m_s.begin() + nIndex, ch);
    return GetLength();
}

int CString::Insert(int nIndex, const char* psz)
{
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    if (psz) m_s.insert((size_t)nIndex, psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0) nIndex = 0;
    if (nCount > 0 && nIndex < GetLength()) m_s.erase((size_t)nIndex, (size_t)nCount);
    return GetLength();
}

void CString::Truncate(int nNewLength)
{
    if (nNewLength >= 0 && nNewLength < GetLength()) m_s.resize((size_t)nNewLength);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    if (!pszFormat) { m_s.clear(); return; }
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) { m_s.clear(); return; }
    std::vector<char> buf((size_t)n + 1);
    std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
    m_s.assign(buf.data(), (size_t)n);
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(const char* pszFormat, ...)
{
    CString more;
    va_list args;
    va_start(args, pszFormat);
    more.FormatV(pszFormat, args);
    va_end(args);
    m_s += more.m_s;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength()) m_s.resize((size_t)nMinLength, '\0');
    return &m_s[0];
}

char* CString::GetBufferSetLength(int nLength)
{
    m_s.resize(nLength > 0 ? (size_t)nLength : 0, '\0');
    return &m_s[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) m_s.resize(std::strlen(m_s.c_str()));
    else if ((size_t)nNewLength <= m_s.size()) m_s.resize((size_t)nNewLength);
}

void CString::SetStringLoader(StringLoader loader) { g_loader = loader; }

BOOL CString::LoadString(UINT nID)
{
    const char* text = g_loader ? g_loader(nID) : nullptr;
    if (!text) return FALSE;
    m_s = text;
    return TRUE;
}
