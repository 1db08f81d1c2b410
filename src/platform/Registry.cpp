#include "platform/Registry.h"

namespace brx::platform {

namespace {

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void appendUtf16(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

// One code point from UTF-8; a malformed byte stands for itself (as Latin-1).
std::uint32_t nextCodePoint(const std::string& text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0x80 && extra == 0) return byte(at++);
    if (extra > 0 && at + extra >= text.size()) return byte(at++);
    std::uint32_t code = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : extra == 1 ? lead & 0x1F : lead;
    for (int i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return byte(at++);
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    at += extra + 1;
    return code;
}

}  // namespace

std::string RegValue::text() const {
    std::string out;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        std::uint32_t unit = data[i] | (data[i + 1] << 8);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < data.size()) {
            const std::uint32_t low = data[i + 2] | (data[i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}

RegValue RegValue::string(std::string name, const std::string& text, std::uint32_t type) {
    RegValue value;
    value.name = std::move(name);
    value.type = type;
    for (std::size_t at = 0; at < text.size();) {
        const std::uint32_t code = nextCodePoint(text, at);
        if (code >= 0x10000) {
            appendUtf16(value.data, 0xD800 + ((code - 0x10000) >> 10));
            appendUtf16(value.data, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            appendUtf16(value.data, code);
        }
    }
    appendUtf16(value.data, 0);
    return value;
}

RegValue RegValue::dword(std::string name, std::uint32_t number) {
    RegValue value;
    value.name = std::move(name);
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return value;
}

}  // namespace brx::platform
