#include "backup/Paths.h"

namespace brx::backup {

std::string CheckPath(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + "\\";
}

std::string RemoveBackSl(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

std::string SynthesizeShortComponent(const std::string& component) {
    std::string text;
    bool altered = false;
    const std::size_t lastDot = component.rfind('.');
    for (std::size_t i = 0; i < component.size(); ++i) {
        char c = component[i];
        if (c == ' ') {
            altered = true;
            continue;
        }
        if (c == '.' && i != lastDot) {
            altered = true;
            continue;
        }
        if (std::string_view("+,;=[]").find(c) != std::string_view::npos) {
            c = '_';
            altered = true;
        }
        text += c;
    }
    const std::size_t dot = text.rfind('.');
    if (lastDot == std::string::npos || dot == std::string::npos) return text;
    std::string base = text.substr(0, dot);
    std::string extension = text.substr(dot + 1);
    if (base.size() > 8 || altered || extension.size() > 3) base = base.substr(0, 6) + "~1";
    return base + "." + extension.substr(0, 3);
}

namespace {

std::string ShortOfExisting(platform::Files& files, const std::string& path,
                            const std::string& component) {
    for (const auto& entry : files.find(path)) {
        if (!entry.shortName.empty()) return entry.shortName;
        return entry.name;
    }
    return component;
}

std::string ShortWithoutTrailing(platform::Files& files, const std::string& path) {
    if (auto fromSystem = files.shortPathName(path)) return *fromSystem;
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return SynthesizeShortComponent(path);
    const std::string directory = path.substr(0, slash + 1);
    const std::string component = path.substr(slash + 1);
    const std::string shortComponent = files.exists(path)
                                           ? ShortOfExisting(files, path, component)
                                           : SynthesizeShortComponent(component);
    if (directory.size() < 4) return directory + shortComponent;
    return ShortWithoutTrailing(files, directory.substr(0, directory.size() - 1)) + "\\" +
           shortComponent;
}

}  // namespace

std::string ShortFileName(platform::Files& files, const std::string& path) {
    const bool trailing = !path.empty() && path.back() == '\\';
    const std::string bare = trailing && path.size() > 3 ? RemoveBackSl(path) : path;
    if (trailing && path.size() <= 3) return path;  // a drive root is its own short form
    std::string result = ShortWithoutTrailing(files, bare);
    return trailing ? CheckPath(result) : result;
}

}  // namespace brx::backup

namespace brx::backup {

bool ForceDirectories(platform::Files& files, const std::string& path) {
    const std::string bare = RemoveBackSl(path);
    if (bare.empty()) return false;
    if (files.isDirectory(bare) || (bare.size() == 2 && bare[1] == ':')) return true;
    const std::size_t slash = bare.rfind('\\');
    if (slash != std::string::npos && slash > 0 && !ForceDirectories(files, bare.substr(0, slash)))
        return false;
    files.createDirectory(bare);
    return files.isDirectory(bare);
}

}  // namespace brx::backup
