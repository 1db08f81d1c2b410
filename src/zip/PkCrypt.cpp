#include "zip/PkCrypt.h"

#include <zlib.h>

namespace brx::zip {

// zlib's table is the same CRC-32 the cipher is built on.
const std::uint32_t* PkCrypt::s_table = reinterpret_cast<const std::uint32_t*>(get_crc_table());

PkCrypt::PkCrypt(std::string_view password)
{
    for (char c : password)
        updateKeys(static_cast<unsigned char>(c));
}

}  // namespace brx::zip
