#include "zip/Paths.h"

#include <cstdio>

#include "zip/Mask.h"

namespace brx::zip {

std::string ChangeExtension(std::string_view path, std::string_view extension)
{
    const std::size_t slash = path.find_last_of("\\:");
    const std::size_t dot = path.rfind('.');
    std::string base(path);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        base.resize(dot);
    return base + "." + std::string(extension);
}

std::string BlockName(std::string_view zipName, int number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return ChangeExtension(zipName, digits);
}

std::string FolderOf(std::string_view path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string NameOf(std::string_view path)
{
    const std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DriveRootOf(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path.substr(0, 2)) + "\\";
    return {};
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

std::string Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool HasParentComponent(std::string_view path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = path.find('\\', start);
        const std::string_view part = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
        if (part == "..")
            return true;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return false;
}

}  // namespace brx::zip
