// Windows path syntax: "C:\WINNT\win.ini", forward slashes accepted, "." and ".." folded, and
// trailing dots and blanks dropped from each component as Windows does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brx::platform::hosted {

struct WindowsPath {
    char drive = 0;                       // upper case
    std::vector<std::string> components;  // without the drive
    bool trailingSeparator = false;

    // "C:\a\b" (a root is "C:\"), with a trailing backslash when the input had one.
    std::string text() const;
};

// nullopt for anything that is not an absolute drive path.
std::optional<WindowsPath> parseWindowsPath(std::string_view path);

// The directory part of a Windows path without its trailing backslash ("C:\a\b" → "C:\a").
std::string windowsParent(std::string_view path);
// The last component ("C:\a\b.txt" → "b.txt").
std::string windowsFileName(std::string_view path);

// Case folding for file names: ASCII and Latin-1 letters, on UTF-8 text.
std::string foldCase(std::string_view name);
bool sameName(std::string_view a, std::string_view b);

}  // namespace brx::platform::hosted
