// An XDG autostart entry standing for one value of the registry's Run key: the desktop starts
// the program at log-in. The entry keeps the value's own text, so it reads back as written.
#pragma once

#include <string>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

class CAutostartEntry
{
public:
    // The folder of the entries: the system-wide one or the user's.
    static std::string Folder(bool bSystem);

    // The value text of the entry for the value name (GBK); FALSE when there is none.
    static BOOL Query(const std::string& folder, const std::string& valueName, std::string& text);
    // Writes the entry; the program path in the text is made absolute against the working folder,
    // which also becomes the program's start folder.
    static LONG Write(const std::string& folder, const std::string& valueName, const std::string& text);
    static LONG Delete(const std::string& folder, const std::string& valueName);

private:
    static std::string EntryPath(const std::string& folder, const std::string& valueName);
};

PARVEL_BASE_END_EXPORTS
