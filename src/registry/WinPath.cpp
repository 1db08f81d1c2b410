#include "registry/WinPath.h"

#include <algorithm>
#include <cctype>

namespace brx::registry {

using namespace brx::platform;

std::string FileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of("\\:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryPart(const std::string& path)
{
    const auto slash = path.find_last_of("\\:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

static char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string UpperCase(std::string text)
{
    for (char& c : text) c = Upper(c);
    return text;
}

std::string ShortForm(Files& files, const std::string& path)
{
    if (auto shortPath = files.shortPathName(path)) return *shortPath;
    const std::string directory = DirectoryPart(path);
    if (directory.size() > 3) {
        if (auto shortDirectory = files.shortPathName(directory.substr(0, directory.size() - 1)))
            return *shortDirectory + "\\" + FileNamePart(path);
    }
    return path;
}

bool DeleteAnyFile(Files& files, const std::string& path)
{
    if (!files.exists(path)) return true;
    files.setAttributes(path, kAttrNormal);
    return files.deleteFile(path) == kErrorSuccess;
}

void DeleteFilesIn(Files& files, const std::string& directory)
{
    for (const FileInfo& entry : files.find(directory + "*.*")) {
        if (entry.isDirectory()) continue;
        DeleteAnyFile(files, directory + entry.name);
    }
}

bool CreateDirectories(Files& files, const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 3 && trimmed.back() == '\\') trimmed.pop_back();
    if (files.isDirectory(trimmed)) return true;
    const std::string parent = DirectoryPart(trimmed);
    if (parent.size() > 3) CreateDirectories(files, parent);
    return files.createDirectory(trimmed) == kErrorSuccess || files.isDirectory(trimmed);
}

}  // namespace brx::registry
