// Hive archive work done straight on the program's ZIP engine: extract a registry archive,
// pack one hive file, copy the archive to the spare registry.
#pragma once

#include "registry/HiveSave.h"
#include "zip/ZipEngine.h"

namespace brx::registry {

// A source that is missing goes to the warning list and sets the error flag; an engine or copy
// failure does the same and is then raised again, ending the operation.
class EngineHiveArchiver : public HiveArchiver {
public:
    EngineHiveArchiver(platform::Platform& platform, zip::ZipEngine& engine, HiveRun& run)
        : m_platform(platform), m_engine(engine), m_run(run)
    {
    }

    void ExtractAll(const std::string& archive, const std::string& directory, int step) override;
    void AddFile(const std::string& archive, const std::string& file) override;
    void CopyFile(const std::string& from, const std::string& to, int step) override;

private:
    void Report(const std::string& path);

    platform::Platform& m_platform;
    zip::ZipEngine& m_engine;
    HiveRun& m_run;
};

}  // namespace brx::registry
