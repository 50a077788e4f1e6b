#include "FileVersion.h"

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include "CodePage.h"

namespace
{
// Layout of the section written by cmake/FileVersion.cmake, in the file's byte order.
const char g_szMagic[16] = "PARVEL-FILEVER1";
const char g_szSection[] = ".parvel_version";
const size_t RECORD_SIZE = sizeof(g_szMagic) + sizeof(VS_FIXEDFILEINFO);

// Reads an ELF file defensively: every offset and size comes from the file and is checked.
class CElfReader
{
public:
    explicit CElfReader(int fd) : m_fd(fd) {}

    bool Open()
    {
        struct stat st;
        if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        m_nFileSize = (uint64_t)st.st_size;
        unsigned char ident[16];
        if (!Read(0, ident, sizeof(ident)) || memcmp(ident, "\x7f" "ELF", 4) != 0)
            return false;
        if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2))
            return false;
        m_b64 = ident[4] == 2;
        m_bBig = ident[5] == 2;
        return true;
    }

    // The contents of the named section; false when there is none.
    bool FindSection(const char* pszName, std::vector<unsigned char>& data)
    {
        uint64_t shoff = m_b64 ? U64(0x28) : U32(0x20);
        uint16_t shentsize = U16(m_b64 ? 0x3A : 0x2E);
        uint64_t shnum = U16(m_b64 ? 0x3C : 0x30);
        uint64_t shstrndx = U16(m_b64 ? 0x3E : 0x32);
        if (!m_bOk || shoff == 0 || shentsize < (m_b64 ? 0x40 : 0x28))
            return false;
        // Extended numbering keeps the real counts in section 0.
        if (shnum == 0)
            shnum = Field(shoff, m_b64 ? 0x20 : 0x14, m_b64);
        if (shstrndx == 0xFFFF)
            shstrndx = Field(shoff, m_b64 ? 0x28 : 0x18, false);
        if (!m_bOk || shnum == 0 || shnum > m_nFileSize / shentsize || shstrndx >= shnum)
            return false;

        uint64_t strOff = Field(shoff + shstrndx * shentsize, m_b64 ? 0x18 : 0x10, m_b64);
        uint64_t strSize = Field(shoff + shstrndx * shentsize, m_b64 ? 0x20 : 0x14, m_b64);
        if (!m_bOk || strSize == 0 || strSize > (1u << 24) || !Inside(strOff, strSize))
            return false;
        std::vector<char> names(strSize + 1, 0);
        if (!Read(strOff, names.data(), strSize))
            return false;

        for (uint64_t i = 0; i < shnum; ++i)
        {
            uint64_t sh = shoff + i * shentsize;
            uint64_t nameOff = Field(sh, 0, false);
            if (!m_bOk)
                return false;
            if (nameOff >= strSize || strcmp(names.data() + nameOff, pszName) != 0)
                continue;
            uint32_t type = (uint32_t)Field(sh, 4, false);
            uint64_t off = Field(sh, m_b64 ? 0x18 : 0x10, m_b64);
            uint64_t size = Field(sh, m_b64 ? 0x20 : 0x14, m_b64);
            if (!m_bOk || type == 8 /* SHT_NOBITS */ || size > (1u << 20) || !Inside(off, size))
                return false;
            data.resize(size);
            return Read(off, data.data(), size);
        }
        return false;
    }

    uint32_t Convert32(const unsigned char* p) const
    {
        return m_bBig ? ((uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3])
                      : ((uint32_t)p[3] << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0]);
    }

private:
    bool Inside(uint64_t off, uint64_t size) const { return off <= m_nFileSize && size <= m_nFileSize - off; }

    bool Read(uint64_t off, void* buf, uint64_t size)
    {
        if (!Inside(off, size))
            return m_bOk = false;
        uint64_t done = 0;
        while (done < size)
        {
            ssize_t n = pread(m_fd, (char*)buf + done, size - done, (off_t)(off + done));
            if (n <= 0)
                return m_bOk = false;
            done += (uint64_t)n;
        }
        return true;
    }

    uint64_t Number(uint64_t off, int bytes)
    {
        unsigned char b[8] = {};
        if (!Read(off, b, (uint64_t)bytes))
            return 0;
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= (uint64_t)b[m_bBig ? bytes - 1 - i : i] << (8 * i);
        return v;
    }
    uint16_t U16(uint64_t off) { return (uint16_t)Number(off, 2); }
    uint32_t U32(uint64_t off) { return (uint32_t)Number(off, 4); }
    uint64_t U64(uint64_t off) { return Number(off, 8); }
    // A field of a section header: address-sized (wide) or 32-bit.
    uint64_t Field(uint64_t header, uint64_t at, bool wide) { return wide ? U64(header + at) : U32(header + at); }

    int m_fd;
    uint64_t m_nFileSize = 0;
    bool m_b64 = false;
    bool m_bBig = false;
    bool m_bOk = true;
};

// The version block of a file, in this machine's byte order; empty when it has none.
std::vector<unsigned char> ReadVersionBlock(LPCSTR lptstrFilename)
{
    std::vector<unsigned char> block;
    if (!lptstrFilename || !*lptstrFilename)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return block;
    }
    int fd = open(CCodePage::AnsiToUtf8(lptstrFilename).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return block;
    }
    CElfReader elf(fd);
    std::vector<unsigned char> section;
    bool found = elf.Open() && elf.FindSection(g_szSection, section);
    close(fd);
    if (!found || section.size() < RECORD_SIZE || memcmp(section.data(), g_szMagic, sizeof(g_szMagic)) != 0)
    {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return block;
    }
    VS_FIXEDFILEINFO info;
    DWORD* fields = (DWORD*)&info;
    for (size_t i = 0; i < sizeof(info) / sizeof(DWORD); ++i)
        fields[i] = elf.Convert32(section.data() + sizeof(g_szMagic) + 4 * i);
    if (info.dwSignature != VS_FFI_SIGNATURE)
    {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return block;
    }
    block.resize(RECORD_SIZE);
    memcpy(block.data(), g_szMagic, sizeof(g_szMagic));
    memcpy(block.data() + sizeof(g_szMagic), &info, sizeof(info));
    return block;
}
} // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, DWORD* lpdwHandle)
{
    if (lpdwHandle)
        *lpdwHandle = 0;
    std::vector<unsigned char> block = ReadVersionBlock(lptstrFilename);
    if (block.empty())
        return 0;
    SetLastError(ERROR_SUCCESS);
    return (DWORD)block.size();
}

BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData)
{
    if (!lpData)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<unsigned char> block = ReadVersionBlock(lptstrFilename);
    if (block.empty())
        return FALSE;
    if (dwLen < block.size())
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(lpData, block.data(), block.size());
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen)
{
    if (!pBlock || !lpSubBlock || !lplpBuffer || memcmp(pBlock, g_szMagic, sizeof(g_szMagic)) != 0)
        return FALSE;
    if (strcmp(lpSubBlock, "\\") != 0)
        return FALSE;
    *lplpBuffer = (unsigned char*)pBlock + sizeof(g_szMagic);
    if (puLen)
        *puLen = (UINT)sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
