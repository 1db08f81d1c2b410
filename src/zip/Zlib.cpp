#include "zip/Zlib.h"

#include <new>

namespace brx::zip {

Deflater::Deflater(int level)
{
    if (deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
}

Inflater::Inflater()
{
    if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK)
        throw std::bad_alloc();
}

}  // namespace brx::zip
