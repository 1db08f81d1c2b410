// zlib streams owned by RAII objects: raw deflate and inflate (windowBits -15), as ZIP stores them.
#pragma once

#include <zlib.h>

namespace brx::zip {

class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Starts a new entry; the first entry needs no reset.
    void reset() { deflateReset(&m_stream); }
    z_stream& stream() { return m_stream; }

private:
    z_stream m_stream{};
};

class Inflater {
public:
    Inflater();
    ~Inflater() { inflateEnd(&m_stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    void reset() { inflateReset(&m_stream); }
    z_stream& stream() { return m_stream; }

private:
    z_stream m_stream{};
};

}  // namespace brx::zip
