#include "platform/hosted/WindowsPath.h"

#include <cctype>

namespace brx::platform::hosted {

std::string WindowsPath::text() const {
    std::string out{drive, ':', '\\'};
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) out += '\\';
        out += components[i];
    }
    if (trailingSeparator && !components.empty()) out += '\\';
    return out;
}

std::optional<WindowsPath> parseWindowsPath(std::string_view path) {
    if (path.size() < 2 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':')
        return std::nullopt;
    WindowsPath result;
    result.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    std::string_view rest = path.substr(2);
    if (!rest.empty() && rest.front() != '\\' && rest.front() != '/') return std::nullopt;
    result.trailingSeparator = rest.size() > 1 && (rest.back() == '\\' || rest.back() == '/');

    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = rest.size();
        std::string_view component = rest.substr(start, end - start);
        // Windows ignores trailing dots and blanks of a name ("file." is "file").
        while (!component.empty() && (component.back() == '.' || component.back() == ' ') &&
               component != "." && component != "..")
            component.remove_suffix(1);
        if (component == "..") {
            if (!result.components.empty()) result.components.pop_back();
        } else if (!component.empty() && component != ".") {
            if (component.find_first_of("<>:\"|*?") != std::string_view::npos) return std::nullopt;
            result.components.emplace_back(component);
        }
        start = end + 1;
    }
    return result;
}

std::string windowsParent(std::string_view path) {
    std::string_view trimmed = path;
    if (trimmed.size() > 3 && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.remove_suffix(1);
    const auto slash = trimmed.find_last_of("\\/");
    if (slash == std::string_view::npos) return std::string(trimmed);
    if (slash == 2 && trimmed.size() > 1 && trimmed[1] == ':')
        return std::string(trimmed.substr(0, 3));
    return std::string(trimmed.substr(0, slash));
}

std::string windowsFileName(std::string_view path) {
    std::string_view trimmed = path;
    if (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.remove_suffix(1);
    const auto slash = trimmed.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? trimmed : trimmed.substr(slash + 1));
}

std::string foldCase(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'a' && c <= 'z') {
            out += static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < name.size()) {
            // U+00E0..U+00FE (à..þ, except ÷) fold to U+00C0..U+00DE.
            auto next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                next = static_cast<unsigned char>(next - 0x20);
            out += static_cast<char>(c);
            out += static_cast<char>(next);
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    return foldCase(a) == foldCase(b);
}

}  // namespace brx::platform::hosted
