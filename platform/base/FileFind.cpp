#include "FileFind.h"

#include <cstring>

CFileFind::CFileFind() : m_hFind(nullptr), m_bHaveNext(FALSE), m_bHaveFound(FALSE)
{
    memset(&m_found, 0, sizeof(m_found));
    memset(&m_next, 0, sizeof(m_next));
}

CFileFind::~CFileFind() { Close(); }

void CFileFind::Close()
{
    if (m_hFind && m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = nullptr;
    m_bHaveNext = FALSE;
    m_bHaveFound = FALSE;
    m_strRoot.Empty();
    m_strSelfPath.Empty();
}

BOOL CFileFind::FindFile(LPCSTR pstrName, DWORD)
{
    Close();
    CString pattern = (pstrName && *pstrName) ? pstrName : "*.*";
    m_hFind = FindFirstFile(pattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
    {
        m_hFind = nullptr;
        return FALSE;
    }
    m_bHaveNext = TRUE;
    CString trimmed = pattern;
    while (trimmed.GetLength() > 1 && trimmed[trimmed.GetLength() - 1] == '/')
        trimmed.Truncate(trimmed.GetLength() - 1);
    if (trimmed != pattern)
        m_strSelfPath = trimmed; // the folder itself
    int slash = trimmed.ReverseFind('/');
    m_strRoot = slash < 0 ? CString() : trimmed.Left(slash + 1);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hFind || !m_bHaveNext)
        return FALSE;
    m_found = m_next;
    m_bHaveFound = TRUE;
    m_bHaveNext = ::FindNextFile(m_hFind, &m_next);
    return m_bHaveNext;
}

CString CFileFind::GetFileName() const { return m_bHaveFound ? CString(m_found.cFileName) : CString(); }

CString CFileFind::GetFilePath() const
{
    if (!m_bHaveFound)
        return CString();
    if (!m_strSelfPath.IsEmpty())
        return m_strSelfPath;
    return m_strRoot + m_found.cFileName;
}

BOOL CFileFind::IsDirectory() const { return m_bHaveFound && (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY); }

BOOL CFileFind::IsHidden() const { return m_bHaveFound && (m_found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN); }

BOOL CFileFind::IsDots() const
{
    return IsDirectory() && (strcmp(m_found.cFileName, ".") == 0 || strcmp(m_found.cFileName, "..") == 0);
}
