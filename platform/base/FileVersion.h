// Version information of a program file: the fixed record that parvel_file_version()
// (cmake/FileVersion.cmake) stores in the file's ELF section ".parvel_version".
#pragma once

#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VFT_APP 0x00000001u
#define VFT_DLL 0x00000002u

typedef struct tagVS_FIXEDFILEINFO
{
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

// The size of the file's version block; 0 when the file has none (or is no ELF file).
DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, DWORD* lpdwHandle);
// Copies the version block into lpData, which must hold dwLen >= the size above.
BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
// "\\" gives the block's VS_FIXEDFILEINFO; the block holds nothing else.
BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen);

#define GetFileVersionInfoSize GetFileVersionInfoSizeA
#define GetFileVersionInfo GetFileVersionInfoA
#define VerQueryValue VerQueryValueA

PARVEL_BASE_END_EXPORTS
