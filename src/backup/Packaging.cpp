#include "backup/Packaging.h"

#include <algorithm>

#include "backup/Deleting.h"
#include "backup/Paths.h"
#include "files/Mask.h"

namespace brx::backup {

using brx::files::FolderPart;
using brx::files::MatchesMask;
using brx::files::NamePart;
using brx::files::UpperCase;

namespace {

constexpr std::size_t kCopyBuffer = 256 * 1024;
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kCommonShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Folders";
constexpr const char* kBackupInProcess = "Backup in Process ";
constexpr const char* kNextDiskText = "Please insert the next disk.";
constexpr const char* kNextDiskCaption = "Next Disk - Brellix ME";

bool EqualNoCase(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

// A registry key opened for reading, closed on every way out.
class OpenKey {
public:
    OpenKey(platform::Registry& registry, platform::HKey root, const std::string& path)
        : m_registry(registry) {
        if (m_registry.openKey(root, path, platform::kKeyRead, &m_key) != platform::kErrorSuccess)
            m_key = 0;
    }
    ~OpenKey() {
        if (m_key) m_registry.closeKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    explicit operator bool() const { return m_key != 0; }
    std::string Text(const std::string& name) {
        platform::RegValue value;
        if (m_registry.queryValue(m_key, name, &value) != platform::kErrorSuccess) return {};
        return value.text();
    }

private:
    platform::Registry& m_registry;
    platform::HKey m_key = 0;
};

}  // namespace

int PackLevelFor(int compress) {
    switch (compress) {
    case 0: return 0;
    case 1: return 2;
    case 2: return 3;
    case 3: return 4;
    case 4: return 5;
    default: return 6;
    }
}

std::string PackedName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : fileName.substr(dot + 1, 3);
    extension.resize(3, '-');
    return stem + "." + extension.substr(0, 2) + "z";
}

Packaging::Packaging(platform::Platform& platform, core::Ui& ui, core::RunState& run,
                     zip::ZipEngine& engine, PackagingPaths paths)
    : m_platform(platform), m_ui(ui), m_run(run), m_engine(engine), m_paths(std::move(paths)) {
    m_options.setDirectory = "\\";
}

void Packaging::InstallEngineHandlers() {
    m_engine.OnTotalPercentDone = [this](zip::ZipEngine&, int percent) { TotalPercentDone(percent); };
    m_engine.OnGetNextDisk = [this](zip::ZipEngine&, int disk, std::string& name) {
        GetNextDisk(disk, name);
    };
    m_engine.OnInCompleteZip = [this](zip::ZipEngine&, zip::TIncompleteZipMode& mode) {
        InCompleteZip(mode);
    };
    m_engine.OnPump = [this] { m_ui.Pump(); };
}

// --- progress ---------------------------------------------------------------------------------

void Packaging::SetRunGauge(int percent) {
    m_runGauge = std::clamp(percent, 0, 100);
    m_ui.SetRunGauge(m_runGauge);
}

void Packaging::SetProgressParts(int parts, int base) {
    m_parts = std::max(parts, 1);
    m_run.progressBase = base;
}

void Packaging::TotalPercentDone(int percent) {
    const int archiveGauge = std::clamp(percent / m_parts + m_run.progressBase, 0, 100);
    m_ui.SetArchiveGauge(archiveGauge);
    if (!m_ui.ProgressVisible()) return;
    std::string caption = m_caption;
    if (caption.find(kBackupInProcess) != std::string::npos) caption = caption.substr(18);
    m_ui.SetApplicationTitle(caption + " - " + std::to_string(m_runGauge) + "% - " +
                             std::to_string(archiveGauge) + "%");
}

std::string Packaging::ProfileSuffix(const std::string& path) {
    // Files below a profiles folder say whose profile they come from.
    const std::size_t at = UpperCase(path).find("\\PROFILES\\");
    if (at == std::string::npos) return {};
    const std::size_t begin = at + 10;
    const std::size_t end = path.find('\\', begin);
    return " (" + path.substr(begin, end == std::string::npos ? end : end - begin) + ")";
}

// --- archives ---------------------------------------------------------------------------------

void Packaging::PrepareMultiPart(const std::string& archive) {
    auto& info = m_engine.MultiZipInfo;
    if (m_options.removableTarget)
        info.MultiMode = zip::mmSpan;
    else if (m_options.blocks && m_options.blockSize > 0)
        info.MultiMode = zip::mmBlocks;
    else
        info.MultiMode = zip::mmNone;
    m_engine.SetZipName(archive);
    if (info.MultiMode != zip::mmBlocks) return;
    // The first block of this archive takes what the previous archive left of its last block.
    // A count that reaches a whole block starts a fresh one instead of asking for a block of
    // no bytes.
    const std::uint64_t size = m_options.blockSize;
    if (m_bytesUsed >= size) m_bytesUsed %= size;
    info.FirstBlockSize = static_cast<std::uint32_t>(size - m_bytesUsed);
    info.BlockSize = static_cast<std::uint32_t>(size);
}

void Packaging::ProduceArchive(const std::string& archive, const std::vector<std::string>& list,
                               bool recurse, const std::vector<std::string>& excludes) {
    PrepareMultiPart(archive);
    m_engine.TempPath = m_paths.temp;
    m_engine.Recurse = recurse;
    m_engine.FilesList = list;
    m_engine.ExcludeList = excludes;
    m_engine.Password = m_options.password;
    m_engine.PackLevel = m_options.level;
    m_engine.ResetArchiveBitOnZip = m_options.resetArchiveBit;
    m_engine.SkipIfArchiveBitNotSet = m_options.skipByArchiveBit;

    if (m_options.level == 0) {
        m_engine.FilesList.clear();
        CopyDir(archive, list, excludes);
        m_engine.CloseArchive();
        return;
    }

    const int added = m_engine.WriteArchive();
    m_run.fileCount += added;
    for (const auto& line : m_engine.Skipped()) {
        m_run.error = true;
        m_run.AddWarning(line);
    }
    if (m_engine.MultiZipInfo.MultiMode == zip::mmBlocks) {
        const std::uint64_t size = m_engine.ArchiveFileSize();
        m_bytesUsed += size;
        const std::string name = m_engine.ZipName();
        const bool firstBlock = name.size() >= 4 && EqualNoCase(name.substr(name.size() - 4), ".001");
        if (!EqualNoCase(name, archive) && !firstBlock) m_bytesUsed = size;
    }
    auto& files = m_platform.files();
    if (m_engine.EntryCount() == 0 && !m_engine.ZipName().empty() && files.exists(m_engine.ZipName())) {
        // Nothing to back up (an incremental run without changes): leave no empty archive.
        files.setAttributes(m_engine.ZipName(), platform::kAttrNormal);
        files.deleteFile(m_engine.ZipName());
    }
    if (m_options.verify && m_engine.MultiZipInfo.MultiMode == zip::mmNone && files.exists(archive)) {
        m_ui.SetProgressStatus("Verifying " + NamePart(archive));
        bool good = false;
        try {
            good = m_engine.TestArchive();
        } catch (const zip::ZipError&) {
            good = false;
        }
        if (!good) {
            m_run.error = true;
            m_run.AddWarning(archive + " could not be verified");
        }
    }
    m_engine.CloseArchive();
}

void Packaging::Fail(const std::string& listed, const std::string& message) {
    m_run.error = true;
    m_run.AddWarning(listed);
    throw RunEnded(message);
}

void Packaging::ProcessFile(const std::string& source, const std::string& destination, bool flag,
                            FileMode mode, int step) {
    try {
        switch (mode) {
        case FileMode::Pack:
            m_ui.SetProgressStatus("Producing " + NamePart(destination) + ProfileSuffix(source));
            ProduceArchive(destination, {source}, flag);
            break;
        case FileMode::Copy:
        case FileMode::CopyAndStep:
        case FileMode::CopyQuiet:
            CopyOne(source, destination, mode);
            break;
        case FileMode::Extract:
            ExtractOne(source, destination, flag);
            break;
        }
    } catch (const RunEnded&) {
        throw;
    } catch (const std::exception& error) {
        Fail(source, error.what());
    }
    if (mode != FileMode::Copy) AdvanceRun(step);
    m_ui.Pump();
}

void Packaging::CopyOne(const std::string& source, const std::string& destination, FileMode) {
    m_ui.SetProgressStatus("Copying " + NamePart(destination) + ProfileSuffix(source));
    auto& files = m_platform.files();
    auto failed = [&] {
        m_run.error = true;
        m_run.AddWarning(source);
    };
    auto in = files.open(source, platform::OpenMode::Read);
    if (!in.file) return failed();
    const std::uint64_t size = in.file.size();
    bool ok = true;
    {
        auto out = files.open(destination, platform::OpenMode::Write);
        if (!out.file) return failed();
        std::vector<char> buffer(kCopyBuffer);
        for (;;) {
            const std::size_t got = in.file.read(buffer.data(), buffer.size());
            if (got == 0) break;
            if (!out.file.write(buffer.data(), got)) {
                ok = false;
                break;
            }
            m_ui.Pump();
        }
        ok = ok && out.file.flush() && out.file.size() == size;
    }
    if (!ok && size != 0) {
        // A half-written copy is worse than none: it would be restored as if it were whole.
        files.deleteFile(destination);
        return failed();
    }
    if (auto info = files.stat(source)) files.setFileTime(destination, info->modified);
    ++m_run.fileCount;
}

void Packaging::ExtractOne(const std::string& source, const std::string& destination, bool recreate) {
    m_ui.SetProgressStatus("Unzipping " + NamePart(source));
    m_engine.SetZipName(source);
    m_engine.DoAll = true;
    m_engine.TempPath = m_paths.temp;
    m_engine.Password = m_options.password;
    m_engine.RecreateDirs = recreate;
    m_engine.SetDestDir(FolderPart(destination));
    struct Reset {
        zip::ZipEngine& engine;
        ~Reset() {
            engine.DoAll = false;
            engine.CloseArchive();
        }
    } reset{m_engine};
    m_run.fileCount += m_engine.ExtractEntries();
    for (const auto& line : m_engine.Skipped()) {
        m_run.error = true;
        m_run.AddWarning(line);
    }
}

void Packaging::AttrCopy(const std::string& source, const std::string& destination, bool flag,
                         FileMode mode, int step) {
    auto& files = m_platform.files();
    for (;;) {
        if (files.exists(source)) break;
        const bool removableSource = [&] {
            if (source.size() < 3) return false;
            auto type = files.driveType(source.substr(0, 3));
            return type == platform::DriveType::Removable || type == platform::DriveType::CdRom;
        }();
        if (!m_run.backupDirection && removableSource &&
            m_ui.AskRetryCancel("Please Insert Another Disk - " + m_paths.title,
                                NamePart(source) + " not found.  " +
                                    "If it is on another disk, please insert it and press Retry.",
                                core::MessageIcon::Error))
            continue;
        m_run.error = true;
        m_run.AddWarning(source);
        return;
    }

    const std::uint32_t remembered = files.getAttributes(source);
    const bool hadArchive = (remembered & platform::kAttrArchive) != 0;
    files.setAttributes(source, hadArchive ? platform::kAttrArchive : platform::kAttrNormal);
    if (files.exists(destination) && !files.isDirectory(destination)) {
        files.setAttributes(destination, platform::kAttrNormal);
        if (m_run.backupDirection && !flag) files.deleteFile(destination);
    }
    // The source gets its attributes back on every way out, failures included.
    struct RestoreAttributes {
        platform::Files& files;
        const std::string& source;
        const std::string& destination;
        std::uint32_t remembered;
        ~RestoreAttributes() {
            std::uint32_t restored = remembered;
            const std::uint32_t now = files.getAttributes(source);
            if (now != platform::kInvalidAttributes && !(now & platform::kAttrArchive))
                restored &= ~static_cast<std::uint32_t>(platform::kAttrArchive);
            files.setAttributes(source, restored == 0 ? platform::kAttrNormal : restored);
            if (files.exists(destination) && !files.isDirectory(destination))
                files.setAttributes(destination, remembered == 0 ? platform::kAttrNormal : remembered);
        }
    } restore{files, source, destination, remembered};
    ProcessFile(source, destination, flag, mode, step);
}

void Packaging::BackupFile(const std::string& source, const std::string& setDirectory,
                           bool compress, int step) {
    const std::string name = NamePart(source);
    if (compress)
        AttrCopy(source, setDirectory + PackedName(name), false, FileMode::Pack, step);
    else
        AttrCopy(source, setDirectory + name, false, FileMode::CopyAndStep, step);
}

// --- profile folders --------------------------------------------------------------------------

std::string Packaging::ShellFolder(platform::HKey root, const std::string& key,
                                   const std::string& value) {
    OpenKey open(m_platform.registry(), root, key);
    return open ? open.Text(value) : std::string();
}

std::vector<std::string> Packaging::ProfileSources(const std::string& folder,
                                                   const std::string& valueName) {
    auto& files = m_platform.files();
    std::string personal;
    {
        OpenKey key(m_platform.registry(), platform::kHKeyCurrentUser, kShellFoldersKey);
        personal = key ? key.Text(valueName) : m_paths.programDirectory + folder;
    }
    std::string common;
    {
        OpenKey key(m_platform.registry(), platform::kHKeyLocalMachine, kCommonShellFoldersKey);
        if (key) {
            if (EqualNoCase(valueName, "Programs"))
                common = FolderPart(RemoveBackSl(key.Text("Common Startup")));
            else
                common = key.Text("Common " + valueName);
        }
    }
    std::vector<std::string> candidates = {m_paths.windowsDirectory + folder,
                                           m_paths.userDirectory + folder, personal, common};
    std::vector<std::string> sources;
    std::vector<std::string> seen;
    for (const auto& candidate : candidates) {
        if (candidate.empty() || !files.isDirectory(RemoveBackSl(candidate))) continue;
        const std::string key = UpperCase(ShortFileName(files, CheckPath(candidate)));
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        sources.push_back(CheckPath(candidate));
    }
    return sources;
}

void Packaging::ZipDir(const std::string& archive, int step, bool pack, const std::string& folder,
                       const std::string& valueName) {
    auto& files = m_platform.files();
    if (!pack) {
        for (;;) {
            if (files.exists(archive)) break;
            auto type = archive.size() >= 3 ? files.driveType(archive.substr(0, 3))
                                            : platform::DriveType::Unknown;
            if (type == platform::DriveType::Removable &&
                m_ui.AskRetryCancel(NamePart(archive) + " not Found - " + m_paths.title,
                                    kNextDiskText, core::MessageIcon::Warning))
                continue;
            if (type == platform::DriveType::Removable) {
                m_run.error = true;
                m_run.AddWarning(archive);
            }
            return;
        }
        try {
            m_ui.SetProgressStatus("Unzipping " + NamePart(archive));
            m_engine.SetZipName(archive);
            m_engine.SetDestDir("");
            m_engine.RecreateDirs = true;
            m_engine.DoAll = true;
            m_engine.Password = m_options.password;
            m_run.fileCount += m_engine.ExtractEntries();
            m_engine.RecreateDirs = false;
            m_engine.DoAll = false;
        } catch (const std::exception& error) {
            m_engine.RecreateDirs = false;
            m_engine.DoAll = false;
            Fail(archive, error.what());
        }
        return;
    }

    const auto sources = ProfileSources(folder, valueName);
    int parts = static_cast<int>(sources.size());
    if (m_paths.ntEdition) {
        for (const auto& entry : files.find(m_paths.windowsDirectory + "Profiles\\*"))
            if (entry.isDirectory()) ++parts;
    }
    SetProgressParts(parts);
    try {
        for (std::size_t i = 0; i < sources.size(); ++i) {
            m_run.progressBase = static_cast<int>(i * 100 / m_parts);
            m_ui.SetProgressStatus("Producing " + NamePart(archive) + ProfileSuffix(sources[i]));
            ProduceArchive(archive, {sources[i] + "*.*"}, true);
            if (m_run.cancel) break;
        }
    } catch (const std::exception& error) {
        SetProgressParts(1);
        Fail(archive, error.what());
    }
    SetProgressParts(1);
    AdvanceRun(step);
    m_ui.Pump();
}

// --- plain copy tree --------------------------------------------------------------------------

std::string Packaging::TargetRoot() const {
    return m_options.setDirectory.size() >= 3 ? m_options.setDirectory.substr(0, 3) : "";
}

std::string Packaging::CopyPathFor(const std::string& baseDirectory, const std::string& source) const {
    std::string folder = FolderPart(source);
    if (m_options.replace) {
        // "C:\WINNT\" becomes "WINNT\": a replaced set keeps one tree however often it is written.
        if (folder.size() >= 2 && folder[1] == ':') folder.erase(0, 2);
        if (!folder.empty() && folder[0] == '\\') folder.erase(0, 1);
    } else {
        folder.erase(std::remove(folder.begin(), folder.end(), ':'), folder.end());
    }
    return baseDirectory + folder + NamePart(source);
}

bool Packaging::Excluded(const std::string& folder, const std::string& fullPath,
                         const std::vector<std::string>& excludes) const {
    const std::string upperPath = UpperCase(fullPath);
    for (const auto& entry : excludes) {
        if (entry.empty()) continue;
        std::string mask = entry;
        bool ownFolderOnly = false;
        if (mask[0] == '>') {
            mask.erase(0, 1);
        } else if (mask[0] == '\\' || mask[0] == '|') {
            mask.erase(0, 1);
            ownFolderOnly = true;
        }
        if (ownFolderOnly && !EqualNoCase(FolderPart(mask), folder)) continue;
        if (MatchesMask(UpperCase(mask), upperPath)) return true;
    }
    return false;
}

void Packaging::CopyDir(const std::string& archive, const std::vector<std::string>& list,
                        const std::vector<std::string>& excludes) {
    const std::string base = FolderPart(archive);
    for (std::string entry : list) {
        if (m_run.cancel) return;
        bool recursive = true;
        if (!entry.empty() && entry[0] == '>') {
            entry.erase(0, 1);
        } else if (!entry.empty() && (entry[0] == '\\' || entry[0] == '|')) {
            entry.erase(0, 1);
            recursive = false;
        }
        std::string mask = NamePart(entry);
        if (mask.empty()) mask = "*";
        CopyTree(base, FolderPart(entry), mask, recursive, excludes);
    }
}

void Packaging::CopyTree(const std::string& baseDirectory, const std::string& folder,
                         const std::string& mask, bool recursive,
                         const std::vector<std::string>& excludes) {
    auto& files = m_platform.files();
    for (const auto& entry : files.find(folder + mask)) {
        m_ui.Pump();
        if (m_run.cancel) return;
        if (entry.isDirectory()) continue;
        const std::string source = folder + entry.name;
        if (Excluded(folder, source, excludes)) continue;
        if (m_options.skipByArchiveBit && !(entry.attributes & platform::kAttrArchive)) continue;
        CopyTreeFile(baseDirectory, source, entry.size);
    }
    if (!recursive) return;
    for (const auto& entry : files.find(folder + "*")) {
        if (m_run.cancel) return;
        if (entry.isDirectory())
            CopyTree(baseDirectory, folder + entry.name + "\\", mask, true, excludes);
    }
}

void Packaging::NoteInUse(const std::string& source, const std::string& copy) {
    auto& files = m_platform.files();
    const std::string wininit = m_paths.windowsBootDirectory + "wininit.ini";
    m_platform.profile().write(wininit, "Rename", ShortFileName(files, source),
                               ShortFileName(files, copy));
}

bool Packaging::WaitForRoom(const std::string& destination, std::uint64_t size) {
    auto& files = m_platform.files();
    for (;;) {
        auto space = files.diskFreeSpace(destination.substr(0, 3));
        if (space && space->freeBytes >= size) return true;
        const bool wasMinimized = m_ui.ApplicationMinimized();
        m_ui.RestoreApplication();
        if (!m_ui.AskOkCancel(kNextDiskCaption, kNextDiskText, core::MessageIcon::Warning))
            return false;
        if (wasMinimized) m_ui.MinimizeApplication();
        if (m_options.deleteFiles) ClearDisk(destination.substr(0, 3));
        ForceDirectories(files, FolderPart(destination));
    }
}

void Packaging::CopyTreeFile(const std::string& baseDirectory, const std::string& source,
                             std::uint64_t size) {
    auto& files = m_platform.files();
    const std::string copy = CopyPathFor(baseDirectory, source);
    {
        auto probe = files.open(source, platform::OpenMode::Read);
        if (!probe.file) {
            // A file Windows keeps open (a loaded hive, a log) is taken at the next start.
            ForceDirectories(files, FolderPart(copy));
            NoteInUse(source, copy);
            return;
        }
    }
    if (m_options.removableTarget && !WaitForRoom(copy, size)) {
        m_run.cancel = true;
        return;
    }
    if (!ForceDirectories(files, FolderPart(copy))) return;
    {
        auto created = files.open(copy, platform::OpenMode::Write);
        if (!created.file) return;
    }
    const long before = m_run.fileCount;
    AttrCopy(source, copy, false, FileMode::Copy, 0);
    // The archive bit is cleared only once the copy exists, so a file that failed to copy is
    // taken again by the next incremental backup.
    if (m_options.resetArchiveBit && m_run.fileCount > before) {
        const std::uint32_t attributes = files.getAttributes(source);
        if (attributes != platform::kInvalidAttributes) {
            const std::uint32_t cleared = attributes & ~static_cast<std::uint32_t>(platform::kAttrArchive);
            files.setAttributes(source, cleared == 0 ? platform::kAttrNormal : cleared);
        }
    }
}

// --- removable media --------------------------------------------------------------------------

bool Packaging::DisketteReady(char letter) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (upper < 'A' || upper > 'Z') throw RunEnded("Not a valid drive ID");
    const std::string root = std::string(1, upper) + ":\\";
    auto& files = m_platform.files();
    return files.driveReady(root) && files.diskFreeSpace(root).has_value();
}

void Packaging::ClearDisk(const std::string& root) {
    auto& files = m_platform.files();
    DeleteHooks hooks{[this] { m_ui.Pump(); }, [this] { return m_run.cancel; }};
    if (m_options.treatAsFixed) {
        m_ui.SetProgressStatus("Deleting Files in " + m_options.setDirectory);
        DeleteSubDirs(files, m_options.setDirectory, hooks);
    } else {
        m_ui.SetProgressStatus("Deleting Files on " + root.substr(0, 2));
        DeleteSubDirs(files, root.substr(0, 3), hooks);
    }
}

void Packaging::GetNextDisk(int nextDisk, std::string& fileName) {
    auto& files = m_platform.files();
    if (m_run.backupDirection) {
        const std::string name = NamePart(fileName);
        std::string text;
        if (nextDisk == 0)
            text = "Please insert the last disk";
        else if (nextDisk == 1)
            text = "Please insert first disk with " + name + " on it";
        else if (nextDisk == 2 && !m_options.blocks)
            text = "Please note that this is the first disk with " + name +
                   " on it.  Later you will be asked to insert it.\n\nPlease insert another disk";
        else
            text = "Please insert another disk";
        if (!m_ui.AskOkCancel(m_paths.title, text, core::MessageIcon::Warning)) {
            fileName.clear();
            return;
        }
        const std::string& set = m_options.setDirectory;
        if (nextDisk >= 2 && m_options.deleteFiles && !set.empty() && set != "\\")
            ClearDisk(set.substr(0, 3));
        if (!set.empty() && set != "\\") ForceDirectories(files, set);
        return;
    }

    std::string name = fileName;
    const std::string upper = UpperCase(name);
    const bool zipNamed = upper.size() >= 4 && upper.substr(upper.size() - 4) == ".ZIP";
    const bool packedNamed = upper.size() >= 2 && upper[upper.size() - 2] == 'Z';
    if (!zipNamed && !packedNamed && name.size() >= 3) {
        std::string number = std::to_string(nextDisk);
        if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
        name = name.substr(0, name.size() - 3) + number;
    }
    std::string ordinal = nextDisk == 1   ? "1st"
                          : nextDisk == 2 ? "2nd"
                          : nextDisk == 3 ? "3rd"
                                          : std::to_string(nextDisk) + "th";
    const auto type = name.size() >= 3 ? files.driveType(name.substr(0, 3)) : platform::DriveType::Unknown;
    const bool removable = type == platform::DriveType::Removable || type == platform::DriveType::CdRom;
    if (!files.exists(name) || removable) {
        if (!m_ui.AskOkCancel(m_paths.title,
                              "Please insert the " + ordinal + " with " + name + " on it.",
                              core::MessageIcon::Warning)) {
            fileName.clear();
            return;
        }
    }
    fileName = name;
}

void Packaging::InCompleteZip(zip::TIncompleteZipMode& mode) {
    if (m_run.backupDirection) {
        mode = zip::izAssumeBad;
        return;
    }
    const bool retry = m_ui.AskRetryCancel(
        "End of Zip File not Found - " + m_paths.title,
        "Please Insert the Last Disk with " + NamePart(m_engine.ZipName()) + " on it.\n\n" +
            "Click Cancel to read only the files on this disk or to quit.",
        core::MessageIcon::Error);
    if (retry) {
        mode = zip::izAssumeMulti;
        m_engine.Tag = 1;
    } else {
        mode = zip::izAssumeBad;
        m_engine.Tag = 0;
    }
}

}  // namespace brx::backup
