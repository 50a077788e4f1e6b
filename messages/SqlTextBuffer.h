// SQL text formatted by SQLite's printf: "%q" doubles every single quote of a text value.
#pragma once

class CSqlTextBuffer
{
public:
    CSqlTextBuffer() = default;
    ~CSqlTextBuffer() { Release(); }
    CSqlTextBuffer(const CSqlTextBuffer&) = delete;
    CSqlTextBuffer& operator=(const CSqlTextBuffer&) = delete;

    const char* Format(const char* format, ...);
    void Release();
    operator const char*() const { return m_pBuf ? m_pBuf : ""; }

private:
    char* m_pBuf = nullptr;
};
