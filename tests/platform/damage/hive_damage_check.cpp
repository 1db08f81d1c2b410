// Damaged hives, built with the address and undefined-behaviour sanitizers: thousands of hives
// with random bytes overwritten must each be either copied or refused with HiveError, without a
// single read outside the file. The hive readers are compiled into this program with the
// sanitizers, so any stray read ends it with a report and a failing exit status.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/hosted/regf/CompactCopy.h"
#include "platform/hosted/regf/HiveAuthor.h"
#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/HiveImage.h"
#include "platform/hosted/regf/SubkeyLists.h"

using namespace brx::platform::hosted::regf;

namespace {

std::vector<std::uint8_t> sampleHive(const std::string& file) {
    HiveAuthor hive("ROOT");
    for (int i = 0; i < 12; ++i) {
        const std::string key = "Software\\Vendor" + std::to_string(i % 3) + "\\Product" + std::to_string(i);
        hive.text(key, "Name", "Product " + std::to_string(i));
        hive.dword(key, "Version", static_cast<std::uint32_t>(i));
        hive.value(key, brx::platform::RegValue::string("Blob", std::string(40 + i * 30, 'x'), brx::platform::kRegBinary));
    }
    hive.save(file);
    return readWholeFile(file);
}

void damage(std::vector<std::uint8_t>& bytes, std::mt19937& random) {
    const int writes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < writes; ++i) {
        const std::size_t at = kBaseBlockSize + random() % (bytes.size() - kBaseBlockSize - 4);
        if (random() % 2) {
            bytes[at] = static_cast<std::uint8_t>(random());
        } else {
            // Plausible offsets and sizes find more paths than random ones.
            writeU32(bytes.data() + at, static_cast<std::uint32_t>(random() % (bytes.size() + 0x100)));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string work = argc > 1 ? argv[1] : "/tmp";
    const std::string file = work + "/hive-damage-" + std::to_string(::getpid());
    const std::vector<std::uint8_t> good = sampleHive(file);
    std::mt19937 random(20261211);
    int copied = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes = good;
        damage(bytes, random);
        try {
            const HiveImage image(bytes);
            const std::vector<std::uint8_t> copy = compactHive(image);
            compactHive(HiveImage(copy));  // what we wrote must read back
            ++copied;
        } catch (const HiveError&) {
            ++refused;
        }
        if (round % 50 == 0) {
            writeFileAtomically(file, bytes, ExistingTarget::Replace);
            try {
                convertSubkeyListsToLf(file);
            } catch (const HiveError&) {
            }
        }
    }
    std::remove(file.c_str());
    std::printf("%d damaged hives copied, %d refused\n", copied, refused);
    return copied > 0 && refused > 0 ? 0 : 1;
}
