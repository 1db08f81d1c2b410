// Path helpers used wherever the program builds paths by concatenation or stores 8.3 forms.
#pragma once

#include <string>

#include "platform/Files.h"

namespace brx::backup {

// Appends a backslash unless the text already ends with one.
std::string CheckPath(const std::string& path);
// Removes one trailing backslash, if present.
std::string RemoveBackSl(const std::string& path);

// The 8.3 form of a path. Existing paths take the form the file system gives; for a path that
// does not exist (yet) the form is built component by component, so the DOS restore program can
// still be told where a set will be. A trailing backslash of the input is kept.
std::string ShortFileName(platform::Files& files, const std::string& path);

// The 8.3 form of one component that does not exist on disk.
std::string SynthesizeShortComponent(const std::string& component);

}  // namespace brx::backup

namespace brx::backup {

// Creates a directory with every missing parent; true when it exists afterwards.
bool ForceDirectories(platform::Files& files, const std::string& path);

}  // namespace brx::backup
