#include "platform/hosted/Expand.h"

#include <mspack.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace brx::platform::hosted {

namespace {

enum class Packing { Szdd, Cabinet, Plain, Unreadable };

Packing packingOf(const std::string& source) {
    std::ifstream in(source, std::ios::binary);
    if (!in) return Packing::Unreadable;
    char magic[8] = {};
    in.read(magic, sizeof magic);
    if (in.gcount() == 8 && std::memcmp(magic, "SZDD\x88\xF0\x27\x33", 8) == 0)
        return Packing::Szdd;
    if (in.gcount() >= 4 && std::memcmp(magic, "MSCF", 4) == 0) return Packing::Cabinet;
    return Packing::Plain;
}

struct SzddDeleter {
    void operator()(msszdd_decompressor* d) const { mspack_destroy_szdd_decompressor(d); }
};
struct CabDeleter {
    void operator()(mscab_decompressor* d) const { mspack_destroy_cab_decompressor(d); }
};

bool expandSzdd(const std::string& source, const std::string& target) {
    std::unique_ptr<msszdd_decompressor, SzddDeleter> szdd(
        mspack_create_szdd_decompressor(nullptr));
    if (!szdd) return false;
    return szdd->decompress(szdd.get(), source.c_str(), target.c_str()) == MSPACK_ERR_OK;
}

// The first file of the cabinet becomes the target: a repair copy holds one file.
bool expandCabinet(const std::string& source, const std::string& target) {
    std::unique_ptr<mscab_decompressor, CabDeleter> cab(mspack_create_cab_decompressor(nullptr));
    if (!cab) return false;
    mscabd_cabinet* cabinet = cab->open(cab.get(), source.c_str());
    if (!cabinet) return false;
    bool done = false;
    if (cabinet->files)
        done = cab->extract(cab.get(), cabinet->files, target.c_str()) == MSPACK_ERR_OK;
    cab->close(cab.get(), cabinet);
    return done;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

}  // namespace

bool expandFile(const std::string& source, const std::string& target) {
    // Expanding a file onto itself would destroy it before it was read.
    if (sameFile(source, target)) return false;
    bool done = false;
    switch (packingOf(source)) {
        case Packing::Unreadable:
            return false;
        case Packing::Szdd:
            done = expandSzdd(source, target);
            break;
        case Packing::Cabinet:
            done = expandCabinet(source, target);
            break;
        case Packing::Plain: {
            std::error_code error;
            done = std::filesystem::copy_file(
                source, target, std::filesystem::copy_options::overwrite_existing, error);
            break;
        }
    }
    if (!done) {
        std::error_code ignored;
        std::filesystem::remove(target, ignored);
    }
    return done;
}

}  // namespace brx::platform::hosted
