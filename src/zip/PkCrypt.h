// Traditional PKWARE encryption (application note, section 6.1): three 32-bit keys stirred by
// every plain byte. Weak by today's measure, but it is what every unzip program can read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brx::zip {

class PkCrypt {
public:
    explicit PkCrypt(std::string_view password);

    void encrypt(unsigned char* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char plain = data[i];
            data[i] = static_cast<unsigned char>(plain ^ keyByte());
            updateKeys(plain);
        }
    }
    void decrypt(unsigned char* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char plain = static_cast<unsigned char>(data[i] ^ keyByte());
            data[i] = plain;
            updateKeys(plain);
        }
    }

private:
    unsigned char keyByte() const
    {
        const std::uint32_t temp = (m_key2 | 2) & 0xFFFF;
        return static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
    }
    void updateKeys(unsigned char plain)
    {
        m_key0 = crcByte(m_key0, plain);
        m_key1 = (m_key1 + (m_key0 & 0xFF)) * 134775813u + 1;
        m_key2 = crcByte(m_key2, static_cast<unsigned char>(m_key1 >> 24));
    }
    static std::uint32_t crcByte(std::uint32_t crc, unsigned char byte)
    {
        return s_table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }

    static const std::uint32_t* s_table;
    std::uint32_t m_key0 = 0x12345678;
    std::uint32_t m_key1 = 0x23456789;
    std::uint32_t m_key2 = 0x34567890;
};

}  // namespace brx::zip
