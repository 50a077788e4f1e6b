// Code-page conversion, in one place: the ANSI code page (GBK), UTF-8 and wide text.
#pragma once

#include <string>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#define CP_ACP 0
#define CP_UTF8 65001

// Windows-style conversions. A source length of -1 converts up to and including the NUL;
// a destination size of 0 asks for the size needed. Unmappable characters become '?'.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen, wchar_t* dst, int dstLen);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* src, int srcLen, char* dst, int dstLen,
                        const char* defaultChar = nullptr, BOOL* usedDefault = nullptr);

class CCodePage
{
public:
    static std::wstring AnsiToWide(const std::string& ansi);
    static std::string WideToAnsi(const std::wstring& wide);
    static std::string AnsiToUtf8(const std::string& ansi);
    static std::string Utf8ToAnsi(const std::string& utf8);
    static std::wstring Utf8ToWide(const std::string& utf8);
    static std::string WideToUtf8(const std::wstring& wide);
};

PARVEL_BASE_END_EXPORTS
