// Windows path helpers the engine needs: extensions of archive parts, folders and drives.
#pragma once

#include <string>
#include <string_view>

namespace brx::zip {

// "D:\set\desktop.zip" with "001" gives "D:\set\desktop.001"; a name without extension gets one.
std::string ChangeExtension(std::string_view path, std::string_view extension);
// The 1-based block file name: .001, .002 ... .999, .1000.
std::string BlockName(std::string_view zipName, int number);
// "C:\a\b.txt" gives "C:\a\" and "b.txt".
std::string FolderOf(std::string_view path);
std::string NameOf(std::string_view path);
// "C:\" for a path with a drive letter; empty otherwise.
std::string DriveRootOf(std::string_view path);
bool EqualNoCase(std::string_view a, std::string_view b);
std::string Trimmed(std::string_view text);
// True when any "\"-separated component is "..".
bool HasParentComponent(std::string_view path);

}  // namespace brx::zip
