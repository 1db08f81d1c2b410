// Turning lists of files into what lands in a backup set: archives made by the ZIP engine (with
// the run's level, password, blocks or diskette spanning, and an optional test), or plain copy
// trees when compression is off; single files copied or extracted; user-profile folders; the
// disk prompts of removable media; and the progress figures of the run.
//
// Failures of single files go to the warning list and set the error flag; the run goes on.
// A failure inside ProcessFile or ZipDir ends the run: it is listed and then thrown on as
// RunEnded, so the caller can still do its finishing steps. After any failure, what was written
// stays in the set, except an archive that ended up empty, which is removed.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/RunState.h"
#include "core/Ui.h"
#include "platform/Platform.h"
#include "zip/ZipEngine.h"

namespace brx::backup {

enum class TargetKind;
enum class BackupType;

// A failure that ends the current run after its finishing steps; what() is the message the
// default error display shows.
class RunEnded : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ProcessFile's modes.
enum class FileMode : int { Pack = 1, Copy = 2, CopyAndStep = 3, Extract = 6, CopyQuiet = 7 };

// "Compress" of a configuration to the engine's level; 0 means plain copies.
int PackLevelFor(int compress);

// The name a single file gets in a packed set: win.ini gives win.inz, ntldr gives ntldr.--z.
std::string PackedName(const std::string& fileName);

// Where the program finds things, and the texts that differ by edition.
struct PackagingPaths {
    std::string windowsDirectory;      // with trailing backslash
    std::string systemDirectory;
    std::string userDirectory;
    std::string programDirectory;
    std::string windowsBootDirectory;  // holds wininit.ini
    std::string temp;
    std::string title;                 // "Brellix 2000" or "Brellix NT"
    bool ntEdition = false;
};

// The settings of one run that every archive follows.
struct PackagingOptions {
    int level = 2;                     // engine level; 0 plain copies
    std::string password;
    bool verify = false;
    bool blocks = false;               // "Save Large Files in Blocks of:" ticked and enabled
    std::uint32_t blockSize = 0;
    bool removableTarget = false;      // the target is a removable disk or a CD
    bool treatAsFixed = false;
    bool deleteFiles = false;          // wipe each new disk before writing to it
    bool replace = false;              // type "Replace": copies drop the drive from their path
    bool resetArchiveBit = false;
    bool skipByArchiveBit = false;
    std::string setDirectory;          // "\" while none is known
};

class Packaging {
public:
    Packaging(platform::Platform& platform, core::Ui& ui, core::RunState& run,
              zip::ZipEngine& engine, PackagingPaths paths);

    PackagingOptions& Options() { return m_options; }
    const PackagingPaths& Paths() const { return m_paths; }
    void SetPaths(PackagingPaths paths) { m_paths = std::move(paths); }
    // The engine's events go to this object from now on.
    void InstallEngineHandlers();

    // Producing one archive from a list; `excludes` only for other-files packages.
    void ProduceArchive(const std::string& archive, const std::vector<std::string>& list,
                        bool recurse, const std::vector<std::string>& excludes = {});
    void BackupFile(const std::string& source, const std::string& setDirectory, bool compress,
                    int step);
    void AttrCopy(const std::string& source, const std::string& destination, bool flag,
                  FileMode mode, int step);
    void ProcessFile(const std::string& source, const std::string& destination, bool flag,
                     FileMode mode, int step);
    // One user-profile folder (relative name `folder`, shell-folder value `valueName`) into
    // `archive`, or (pack false) that archive back to the stored paths.
    void ZipDir(const std::string& archive, int step, bool pack, const std::string& folder,
                const std::string& valueName);
    // The plain copy tree of `list` into the directory of `archive`.
    void CopyDir(const std::string& archive, const std::vector<std::string>& list,
                 const std::vector<std::string>& excludes);
    // True when the drive answers; throws for a letter that names no drive.
    bool DisketteReady(char letter);

    // Progress: the whole-run bar and the caption it is reported under.
    void SetRunCaption(const std::string& caption) { m_caption = caption; }
    int RunGauge() const { return m_runGauge; }
    void SetRunGauge(int percent);
    void AdvanceRun(int step) { SetRunGauge(m_runGauge + step); }
    void SetProgressParts(int parts, int base = 0);
    int ProgressParts() const { return m_parts; }
    void SetProgressBase(int base) { m_run.progressBase = base; }
    std::uint64_t BytesUsed() const { return m_bytesUsed; }

    // Clears a removable disk before a backup writes to it.
    void ClearDisk(const std::string& root);

    // Engine events.
    void TotalPercentDone(int percent);
    void GetNextDisk(int nextDisk, std::string& fileName);
    void InCompleteZip(zip::TIncompleteZipMode& mode);

private:
    void Fail(const std::string& listed, const std::string& message);
    void PrepareMultiPart(const std::string& archive);
    void CopyOne(const std::string& source, const std::string& destination, FileMode mode);
    void ExtractOne(const std::string& source, const std::string& destination, bool recreate);
    void CopyTree(const std::string& baseDirectory, const std::string& folder,
                  const std::string& mask, bool recursive, const std::vector<std::string>& excludes);
    bool Excluded(const std::string& folder, const std::string& fullPath,
                  const std::vector<std::string>& excludes) const;
    void CopyTreeFile(const std::string& baseDirectory, const std::string& source,
                      std::uint64_t size);
    bool WaitForRoom(const std::string& destination, std::uint64_t size);
    void NoteInUse(const std::string& source, const std::string& copy);
    std::string CopyPathFor(const std::string& baseDirectory, const std::string& source) const;
    static std::string ProfileSuffix(const std::string& path);
    std::string TargetRoot() const;
    std::vector<std::string> ProfileSources(const std::string& folder, const std::string& valueName);
    std::string ShellFolder(platform::HKey root, const std::string& key, const std::string& value);

    platform::Platform& m_platform;
    core::Ui& m_ui;
    core::RunState& m_run;
    zip::ZipEngine& m_engine;
    PackagingPaths m_paths;
    PackagingOptions m_options;
    std::string m_caption;
    int m_runGauge = 0;
    int m_parts = 1;
    // Bytes of the current block already used by earlier archives; it lasts as long as the
    // program, so consecutive archives fill the blocks of the set one after the other.
    std::uint64_t m_bytesUsed = 0;
};

}  // namespace brx::backup
