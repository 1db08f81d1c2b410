#include "core/Shortcuts.h"

#include "core/Error.h"

namespace brx::core {

namespace {

std::string DirectoryPart(const std::string& path)
{
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

platform::ShellLink ReadLink(platform::Platform& platform, const std::string& linkPath)
{
    auto link = platform.shell().readShortcut(linkPath);
    if (!link) throw Error(ErrorKind::General, "Read error.");
    return *link;
}

}  // namespace

void MakeShortcut(platform::Platform& platform, const std::string& programPath,
                  const std::string& target, const std::string& arguments,
                  const std::string& linkPath, const std::string& description)
{
    platform::ShellLink link;
    link.target = target;
    link.arguments = arguments;
    link.workingDirectory = DirectoryPart(programPath);
    link.description = description;
    link.show = platform::ShowWindow::Normal;
    link.hotKey = 0;
    if (platform.shell().writeShortcut(linkPath, link) != platform::kErrorSuccess)
        throw Error(ErrorKind::General, "Write error.");
}

std::string CheckTarget(platform::Platform& platform, const std::string& linkPath)
{
    if (!platform.files().exists(linkPath)) return {};
    return ReadLink(platform, linkPath).target;
}

std::string CheckParameters(platform::Platform& platform, const std::string& linkPath)
{
    if (!platform.files().exists(linkPath)) return {};
    return ReadLink(platform, linkPath).arguments;
}

}  // namespace brx::core
