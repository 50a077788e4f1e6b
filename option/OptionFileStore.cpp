#include "OptionFileStore.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include "CodePage.h"
#include "FileApi.h"

COptionFileStore g_optionFileStore;

COptionFileStore::COptionFileStore() : m_pFile(nullptr), m_nOpenResult(0) {}

COptionFileStore::~COptionFileStore()
{
    if (m_pFile)
        fclose(m_pFile);
}

int COptionFileStore::ReadAll()
{
    m_lock.Lock();
    setlocale(LC_ALL, "");
    const std::string path = CCodePage::AnsiToUtf8(m_strFileName.str());
    m_pFile = fopen(path.c_str(), "re");
    m_nOpenResult = m_pFile != nullptr;
    if (!m_pFile)
    {
        m_lock.Unlock();
        return 0;
    }
    m_lines.clear();
    std::string line;
    int ch;
    bool bPending = false;
    while ((ch = fgetc(m_pFile)) != EOF)
    {
        // A NUL is no text: kept, it would end the line for every comparison and every write,
        // and a header cut there loses its section on the next load.
        if (ch == '\0')
            continue;
        bPending = true;
        if (ch == '\n')
        {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            m_lines.push_back(CString(line));
            line.clear();
            bPending = false;
        }
        else
            line += (char)ch;
    }
    if (bPending)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(CString(line));
    }
    fclose(m_pFile);
    m_pFile = nullptr;
    m_lock.Unlock();
    return 1;
}

int COptionFileStore::WriteAll()
{
    m_lock.Lock();
    // A new file beside the old one, renamed over it once complete: a write cut short (full
    // disk, crash) leaves the old file as it was. A folder we may not write in fails here.
    const std::string path = CCodePage::AnsiToUtf8(m_strFileName.str());
    const std::string tmpPath = path + ".new";
    int fd = open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    m_pFile = fd >= 0 ? fdopen(fd, "w") : nullptr;
    m_nOpenResult = m_pFile != nullptr;
    if (!m_pFile)
    {
        if (fd >= 0)
            close(fd);
        m_lock.Unlock();
        return 0;
    }
    bool bOk = true;
    for (const CString& line : m_lines)
    {
        if (fputs(line, m_pFile) == EOF || fputs("\r\n", m_pFile) == EOF)
            bOk = false;
    }
    if (fflush(m_pFile) != 0 || fsync(fileno(m_pFile)) != 0)
        bOk = false;
    if (fclose(m_pFile) != 0)
        bOk = false;
    m_pFile = nullptr;
    if (!bOk || rename(tmpPath.c_str(), path.c_str()) != 0)
    {
        unlink(tmpPath.c_str());
        m_nOpenResult = 0;
        m_lock.Unlock();
        return 0;
    }
    SetFileAttributes(m_strFileName, FILE_ATTRIBUTE_HIDDEN);
    m_lock.Unlock();
    return m_nOpenResult;
}

bool COptionFileStore::IsHeader(const CString& line, CString& name)
{
    CString s(line);
    s.TrimLeft();
    if (s.IsEmpty() || s[0] != '[')
        return false;
    int nOpen = s.Find('[');
    int nClose = s.Find(']');
    name = nClose > nOpen ? s.Mid(nOpen + 1, nClose - nOpen - 1) : CString();
    name.Trim();
    return true;
}

int COptionFileStore::FindSection(const char* pszSection, int* pnEnd) const
{
    const int nLines = (int)m_lines.size();
    CString name;
    for (int i = 0; i < nLines; ++i)
    {
        if (!IsHeader(m_lines[i], name) || name != pszSection)
            continue;
        int nEnd = i + 1;
        while (nEnd < nLines && !IsHeader(m_lines[nEnd], name))
            ++nEnd;
        *pnEnd = nEnd;
        return i;
    }
    return -1;
}

int COptionFileStore::FindKey(int nSection, int nEnd, const char* pszKey) const
{
    for (int i = nSection + 1; i < nEnd; ++i)
    {
        const CString& line = m_lines[i];
        int nEq = line.Find('=');
        if (nEq < 0)
            continue; // kept, but never a key
        CString key = line.Left(nEq);
        key.Trim();
        if (key == pszKey)
            return i;
    }
    return -1;
}

CString COptionFileStore::GetValue(const char* pszSection, const char* pszKey, const char* pszDefault)
{
    ReadAll();
    if (!m_nOpenResult)
        return CString(pszDefault);
    int nEnd = 0;
    int nSection = FindSection(pszSection, &nEnd);
    if (nSection < 0)
        return CString(pszDefault);
    int nLine = FindKey(nSection, nEnd, pszKey);
    if (nLine < 0)
        return CString(pszDefault);
    const CString& line = m_lines[nLine];
    CString value = line.Mid(line.Find('=') + 1);
    value.Trim();
    return value;
}

void COptionFileStore::SetValue(const char* pszSection, const char* pszKey, const char* pszValue)
{
    CString newLine(pszKey);
    if (pszValue && *pszValue)
    {
        newLine += "=";
        newLine += pszValue;
    }
    int nEnd = 0;
    int nSection = FindSection(pszSection, &nEnd);
    if (nSection < 0)
    {
        m_lines.push_back(CString("[") + pszSection + "]");
        m_lines.push_back(newLine);
        return;
    }
    int nLine = FindKey(nSection, nEnd, pszKey);
    if (nLine >= 0)
        m_lines[nLine] = newLine;
    else
        m_lines.insert(m_lines.begin() + nEnd, newLine);
}
