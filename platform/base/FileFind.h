// A file search in the framework's manner: FindFile, then FindNextFile before each entry.
#pragma once

#include "CString.h"
#include "FileApi.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

class CFileFind
{
public:
    CFileFind();
    virtual ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // TRUE when the pattern finds something; the first entry is current after FindNextFile.
    virtual BOOL FindFile(LPCSTR pstrName = nullptr, DWORD dwUnused = 0);
    // Makes the next entry current; FALSE when that entry is the last one.
    virtual BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;
    BOOL IsDirectory() const;
    BOOL IsDots() const;
    BOOL IsHidden() const;

private:
    HANDLE m_hFind;
    CString m_strRoot;  // the folder part of the pattern
    WIN32_FIND_DATA m_found;
    WIN32_FIND_DATA m_next;
    BOOL m_bHaveNext;
    BOOL m_bHaveFound;
    CString m_strSelfPath; // a folder found by its own path
};

PARVEL_BASE_END_EXPORTS
