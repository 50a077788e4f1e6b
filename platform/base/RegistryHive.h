// One hive file: keys with their values, in a line-based text file. Every change reads the file,
// applies the change and replaces the file by a rename, under an flock on "<hive>.lock", so
// several processes can share one hive and an interrupted write never leaves half a file.
#pragma once

#include <functional>
#include <map>
#include <string>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

#ifndef ERROR_WRITE_FAULT
#define ERROR_WRITE_FAULT 29L
#endif

struct REGISTRY_VALUE
{
    std::string m_name; // as first written
    DWORD m_type;
    std::string m_data;
};

struct REGISTRY_KEY
{
    std::string m_path;                          // as first created
    std::map<std::string, REGISTRY_VALUE> m_values; // by folded name
};

// Keys by folded path ("software\\microsoft"); names compare case-insensitively.
typedef std::map<std::string, REGISTRY_KEY> REGISTRY_KEYS;

class CRegistryHive
{
public:
    explicit CRegistryHive(const std::string& path) : m_path(path) {}

    // Runs the reader on the current content.
    LONG Read(const std::function<LONG(const REGISTRY_KEYS&)>& reader) const;
    // Runs the changer on the current content and saves the result when it answers ERROR_SUCCESS.
    LONG Change(const std::function<LONG(REGISTRY_KEYS&)>& changer) const;

    // Lower-case of the ASCII letters, leaving the second byte of a GBK character alone.
    static std::string Fold(const std::string& s);

private:
    static void Parse(const std::string& text, REGISTRY_KEYS& keys);
    static std::string Format(const REGISTRY_KEYS& keys);

    std::string m_path;
};

PARVEL_BASE_END_EXPORTS
