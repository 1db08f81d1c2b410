// Small operations on Windows paths and directories that the registry and restore code share.
#pragma once

#include <string>

#include "platform/Files.h"

namespace brx::registry {

// "C:\WINNT\win.ini" gives "win.ini"; a path without a backslash is its own name.
std::string FileNamePart(const std::string& path);
// "C:\WINNT\win.ini" gives "C:\WINNT\" (with the backslash); "" when there is none.
std::string DirectoryPart(const std::string& path);
bool EqualNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);
std::string UpperCase(std::string text);

// The 8.3 form of `path`. A path that does not exist yet keeps its name after the short form
// of its directory, which is how Windows will name it once it is created there.
std::string ShortForm(platform::Files& files, const std::string& path);

// Deletes a file whatever its attributes; true when it is gone.
bool DeleteAnyFile(platform::Files& files, const std::string& path);
// Deletes every file directly in `directory` (with trailing backslash), clearing attributes
// first; subdirectories stay.
void DeleteFilesIn(platform::Files& files, const std::string& directory);
// Creates the directory and any missing parents; true when it exists afterwards.
bool CreateDirectories(platform::Files& files, const std::string& path);

}  // namespace brx::registry
