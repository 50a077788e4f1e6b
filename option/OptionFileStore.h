// The option file as lines in memory: read whole, changed line by line, written whole.
#pragma once

#include <cstdio>
#include <vector>
#include "CString.h"
#include "CriticalSection.h"

class COptionFileStore
{
public:
    COptionFileStore();
    ~COptionFileStore();
    COptionFileStore(const COptionFileStore&) = delete;
    COptionFileStore& operator=(const COptionFileStore&) = delete;

    void SetFileName(const char* pszFileName) { m_strFileName = pszFileName; }

    // 1 when the file was read into the lines; 0 leaves the lines as they were.
    int ReadAll();
    // Non-zero when the lines were written. The file is replaced whole or not at all.
    int WriteAll();
    // The trimmed value of the key in the first section of that name, else the default.
    CString GetValue(const char* pszSection, const char* pszKey, const char* pszDefault);
    // Changes the lines only; WriteAll stores them.
    void SetValue(const char* pszSection, const char* pszKey, const char* pszValue);

    const std::vector<CString>& GetLines() const { return m_lines; }

private:
    static bool IsHeader(const CString& line, CString& name);
    // Index of the first header with that name, or -1; the section ends before *pnEnd.
    int FindSection(const char* pszSection, int* pnEnd) const;
    int FindKey(int nSection, int nEnd, const char* pszKey) const;

    FILE* m_pFile;
    std::vector<CString> m_lines;
    CString m_strFileName;
    int m_nOpenResult;
    CCriticalSection m_lock;
};

// The library's one store.
extern COptionFileStore g_optionFileStore;
