#include "platform/Registry.h"

#include "platform/Utf.h"

namespace brx::platform {

std::string RegValue::text() const {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0) break;
        units += unit;
    }
    return utf16ToUtf8(units);
}

RegValue RegValue::string(std::string name, const std::string& text, std::uint32_t type) {
    RegValue value;
    value.name = std::move(name);
    value.type = type;
    for (const char16_t unit : utf8ToUtf16(text)) {
        value.data.push_back(static_cast<std::uint8_t>(unit));
        value.data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    value.data.push_back(0);
    value.data.push_back(0);
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
