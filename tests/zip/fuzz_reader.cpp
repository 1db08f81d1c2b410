// libFuzzer target for the reading side of the ZIP engine: any bytes given as an archive must
// end in a directory or one of the engine's errors, never in a crash, a hang or a wild read.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/hosted/Machine.h"
#include "zip/ZipEngine.h"

namespace {

struct Setup {
    std::unique_ptr<brx::platform::hosted::HostedPlatform> platform = brx::platform::hosted::openHostRoot();
    std::string hostFile = "/tmp/brx-fuzz-" + std::to_string(getpid()) + ".zip";
    std::string zipName = "Z:\\tmp\\brx-fuzz-" + std::to_string(getpid()) + ".zip";
};

Setup& setup()
{
    static Setup s;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Setup& s = setup();
    if (std::FILE* f = std::fopen(s.hostFile.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    for (auto mode : {brx::zip::izAssumeBad, brx::zip::izAssumeMulti}) {
        brx::zip::ZipEngine engine(*s.platform);
        engine.IncompleteZipMode = mode;
        engine.Password = "secret";
        try {
            engine.SetZipName(s.zipName);
            engine.ReadDirectory();
            for (int i = 0; i < engine.EntryCount(); ++i) {
                (void)engine.EntryDateTime(i);
                (void)engine.EntryFileName(i);
            }
            engine.TestArchive();
        } catch (const brx::zip::ZipError&) {
        }
    }
    std::remove(s.hostFile.c_str());
    return 0;
}
