#include "ShellTestSupport.h"

#include <climits>
#include <cstdio>
#include <vector>
#include "FileVersion.h"

namespace
{
std::string BinFolder()
{
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string path(self, n > 0 ? (size_t)n : 0);
    return path.substr(0, path.rfind('/') + 1);
}

// The version text as the program's start-up makes it from the file.
std::string VersionText(const std::string& path)
{
    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSize(path.c_str(), &handle);
    EXPECT_EQ(0u, handle);
    if (size == 0)
        return "";
    std::vector<char> data(size + 1);
    if (!GetFileVersionInfo(path.c_str(), 0, size + 1, data.data()))
        return "<no block>";
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValue(data.data(), "\\", (LPVOID*)&info, &len) || len < sizeof(VS_FIXEDFILEINFO))
        return "<no fixed info>";
    char text[64];
    snprintf(text, sizeof(text), "%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}

TEST(FileVersionTest, VersionStoredAtBuildTimeIsReadBackFromTheFile)
{
    std::string probe = BinFolder() + "shell_version_probe";
    EXPECT_EQ("1.2.3.4", VersionText(probe));

    std::vector<char> data(GetFileVersionInfoSize(probe.c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfo(probe.c_str(), 0, (DWORD)data.size(), data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    ASSERT_TRUE(VerQueryValue(data.data(), "\\", (LPVOID*)&info, nullptr));
    EXPECT_EQ(VS_FFI_SIGNATURE, info->dwSignature);
    EXPECT_EQ(VFT_APP, info->dwFileType);
    LPVOID other = nullptr;
    UINT len = 0;
    EXPECT_FALSE(VerQueryValue(data.data(), "\\StringFileInfo\\080404b0\\FileVersion", &other, &len));
    EXPECT_FALSE(GetFileVersionInfo(probe.c_str(), 0, (DWORD)data.size() - 1, data.data()));
    EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

TEST(FileVersionTest, FilesWithoutTheRecordHaveNoVersion)
{
    CShellScratch scratch;
    std::string probe = BinFolder() + "shell_version_probe";
    std::string image = ReadFile(probe);
    ASSERT_GT(image.size(), 4096u);

    // The record's section gone (a stripped copy keeps the rest of the file).
    std::string noRecord = scratch.Path("norecord");
    ASSERT_EQ(0, system(("objcopy --remove-section=.parvel_version '" + probe + "' '" + noRecord + "'").c_str()));
    // Cut short, so that the section headers lie beyond the end.
    std::string cut = scratch.Path("cut");
    WriteFile(cut, image.substr(0, image.size() / 2), 0644);
    // Section headers pointing far outside the file.
    std::string wild = image;
    for (int i = 0; i < 8; ++i)
        wild[0x28 + i] = (char)0x7F;
    WriteFile(scratch.Path("wild"), wild, 0644);
    // A section-name table index out of range.
    std::string badIndex = image;
    badIndex[0x3E] = (char)0xFE;
    badIndex[0x3F] = (char)0xFF;
    WriteFile(scratch.Path("badindex"), badIndex, 0644);
    WriteFile(scratch.Path("text"), "not a program\n", 0644);
    WriteFile(scratch.Path("empty"), "", 0644);

    const std::string files[] = {
        "/bin/true", noRecord, cut, scratch.Path("wild"), scratch.Path("badindex"),
        scratch.Path("text"), scratch.Path("empty"), scratch.Path("missing"), scratch.Path(""),
    };
    for (const std::string& file : files)
    {
        EXPECT_EQ(0u, GetFileVersionInfoSize(file.c_str(), nullptr)) << file;
        char block[256];
        EXPECT_FALSE(GetFileVersionInfo(file.c_str(), 0, sizeof(block), block)) << file;
    }
    EXPECT_EQ(0u, GetFileVersionInfoSize(nullptr, nullptr));
}

TEST(FileVersionTest, DamagedHeadersNeverReadOutsideTheFile)
{
    // Every field of the file header and of the section header table in turn set to all ones:
    // the answer is the record or nothing, and the reads stay inside the file.
    CShellScratch scratch;
    std::string image = ReadFile(BinFolder() + "shell_version_probe");
    ASSERT_GT(image.size(), 64u);
    uint64_t shoff = 0;
    memcpy(&shoff, image.data() + 0x28, sizeof(shoff));
    ASSERT_LT(shoff, image.size());
    std::vector<size_t> offsets;
    for (size_t at = 0x10; at < 0x40; at += 2)
        offsets.push_back(at);
    for (size_t at = (size_t)shoff; at + 8 <= image.size(); at += 8)
        offsets.push_back(at);
    std::string path = scratch.Path("damaged");
    for (size_t at : offsets)
    {
        std::string damaged = image;
        for (size_t i = 0; i < 8 && at + i < damaged.size(); ++i)
            damaged[at + i] = (char)0xFF;
        WriteFile(path, damaged, 0644);
        DWORD size = GetFileVersionInfoSize(path.c_str(), nullptr);
        EXPECT_TRUE(size == 0 || size == GetFileVersionInfoSize((BinFolder() + "shell_version_probe").c_str(), nullptr))
            << "damage at " << at;
    }
}
} // namespace
