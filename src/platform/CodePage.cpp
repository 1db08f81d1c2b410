#include "platform/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>

namespace brx::platform {

namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};

// Converts all of `text`; nullopt when a character has no form in the target code page.
std::optional<std::string> convert(const char* to, const char* from, const std::string& text) {
    iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::unique_ptr<void, IconvCloser> handle(raw);
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(raw, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            if (errno != E2BIG) return std::nullopt;
            const std::size_t used = out.size() - outLeft;
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
        }
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::optional<std::string> utf8ToAnsi(const std::string& text) {
    return convert("CP1252", "UTF-8", text);
}
std::optional<std::string> utf8ToOem(const std::string& text) {
    return convert("CP437", "UTF-8", text);
}

// The upper half of 1252 in UTF-8, built once. Five bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) have
// no character; Windows maps them to the control characters of the same number, and so do we.
const std::array<std::string, 128>& ansiUpperHalf() {
    static const std::array<std::string, 128> table = [] {
        std::array<std::string, 128> upper;
        for (int i = 0; i < 128; ++i) {
            const char byte = static_cast<char>(0x80 + i);
            upper[i] = convert("UTF-8", "CP1252", std::string(1, byte))
                           .value_or(std::string{static_cast<char>(0xC2), byte});
        }
        return upper;
    }();
    return table;
}

std::string ansiToUtf8(const std::string& bytes) {
    const auto& upper = ansiUpperHalf();
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else
            out += upper[c - 0x80];
    }
    return out;
}

std::string oemToUtf8(const std::string& bytes) {
    return convert("UTF-8", "CP437", bytes).value_or(std::string());
}

}  // namespace brx::platform
