#include "registry/HiveSave.h"

#include <cctype>
#include <exception>
#include <vector>

#include "registry/NTRegistry.h"
#include "registry/WinPath.h"

namespace brx::registry {

using namespace brx::platform;

namespace {

constexpr int kSaveProgressParts = 7;
constexpr int kFirstWorkDirectory = 27;
constexpr const char* kMachinePrefix = "\\REGISTRY\\MACHINE\\";
constexpr const char* kDefaultUserKey = "\\.DEFAULT";

// Enables one privilege of the process for the rest of its life, as the registry calls need
// it. The token handle is released whatever happens.
class ProcessToken {
public:
    explicit ProcessToken(Security& security) : m_security(security), m_token(security.openProcessToken()) {}
    ~ProcessToken()
    {
        if (m_token != 0) m_security.closeToken(m_token);
    }
    ProcessToken(const ProcessToken&) = delete;
    ProcessToken& operator=(const ProcessToken&) = delete;

    // False only when the adjustment itself was refused; a token or privilege name that
    // cannot be had is let pass, and the registry call will tell.
    bool Enable(const std::string& privilege)
    {
        if (m_token == 0) return true;
        const auto luid = m_security.lookupPrivilegeValue(privilege);
        if (!luid) return true;
        // A user who does not hold the privilege gets "not all assigned" from an otherwise
        // successful call; that is a refusal too, and the user must hear why nothing works.
        return m_security.adjustTokenPrivilege(m_token, *luid, true) == kErrorSuccess;
    }

private:
    Security& m_security;
    TokenHandle m_token;
};

struct HiveEntry {
    HKey root;
    std::string subKey;
    bool perUser;   // a user's own hive or class hive, stored as "user" + number
};

HiveEntry ClassifyHive(const std::string& valueName)
{
    // "\REGISTRY\USER\..." has its "U" where "\REGISTRY\MACHINE\..." has its "M".
    const bool userRoot = valueName.size() > 10 && std::toupper(static_cast<unsigned char>(valueName[10])) == 'U';
    HiveEntry entry;
    entry.root = userRoot ? kHKeyUsers : kHKeyLocalMachine;
    const std::size_t keyStart = userRoot ? 14 : 17;
    entry.subKey = valueName.size() > keyStart ? valueName.substr(keyStart) : std::string();
    entry.perUser = !StartsWithNoCase(valueName, kMachinePrefix) && !EqualNoCase(entry.subKey, kDefaultUserKey);
    return entry;
}

// "\Device\HarddiskVolume1\WINNT\System32\config\SAM" gives "\WINNT\System32\config\SAM".
std::string LocationOnVolume(const std::string& devicePath)
{
    std::size_t position = 0;
    for (int component = 0; component < 3; ++component) {
        position = devicePath.find('\\', component == 0 ? 0 : position + 1);
        if (position == std::string::npos) return devicePath;
    }
    return devicePath.substr(position);
}

class HiveWalk {
public:
    HiveWalk(HiveSite& site, std::string fileName, int step, bool save, bool zip)
        : m_site(site), m_files(site.platform.files()), m_fileName(std::move(fileName)),
          m_step(step), m_save(save), m_zip(zip)
    {
    }

    void Run()
    {
        PrepareDirectory();
        m_site.run.SetStatus(m_save ? "Backing up Registry" : "Restoring Registry");
        m_site.run.BeginProgress(m_save ? kSaveProgressParts : 1);
        try {
            Walk();
        } catch (...) {
            Finish(/*unwinding=*/true);
            throw;
        }
        Finish(/*unwinding=*/false);
    }

private:
    void PrepareDirectory()
    {
        if (!m_zip) {
            m_directory = DirectoryPart(m_fileName);
        } else if (m_save) {
            DeleteAnyFile(m_files, m_fileName);
            m_workDirectory = FreeWorkDirectory();
            m_files.createDirectory(m_workDirectory);
            m_directory = m_workDirectory + "\\";
        } else {
            RemoveLeftoverRedo();
            CreateDirectories(m_files, RedoDirectory(m_site.windowsDirectory));
            CreateDirectories(m_files, UndoDirectory(m_site.windowsDirectory));
            m_directory = ShortForm(m_files, RedoDirectory(m_site.windowsDirectory)) + "\\";
            DeleteFilesIn(m_files, m_directory);
        }
        m_index = m_directory + kUserIndexName;
    }

    std::string FreeWorkDirectory()
    {
        for (int number = kFirstWorkDirectory;; ++number) {
            std::string candidate = m_site.windowsDirectory + "r" + std::to_string(number);
            if (!m_files.exists(candidate)) return candidate;
        }
    }

    void RemoveLeftoverRedo()
    {
        const std::string leftover = m_site.programDirectory + "Redo";
        if (!m_files.isDirectory(leftover)) return;
        DeleteFilesIn(m_files, leftover + "\\");
        m_files.removeDirectory(leftover);
    }

    void Walk()
    {
        if (!m_save && m_zip) m_site.archiver.ExtractAll(m_fileName, m_directory, m_step);
        if (!m_save) m_site.run.ResetFileCount();

        TNTRegistry registry(m_site.platform.registry());
        registry.UseRoot(kHKeyLocalMachine);
        if (!registry.OpenPath(kHiveListPath, false)) return;
        for (const std::string& valueName : registry.ListValueNames())
            TakeHive(valueName, registry.ReadText(valueName));

        if (m_save)
            FinishIndex();
        else
            RestoreUserHives();
    }

    void TakeHive(const std::string& valueName, std::string hivePath)
    {
        if (hivePath.empty()) return;   // a hive without a file, such as HARDWARE
        if (m_save) {
            DeleteAnyFile(m_files, m_directory + FileNamePart(hivePath));
        } else if (!m_files.exists(m_directory + FileNamePart(hivePath))) {
            // Repair copies keep "ntuser" where the hive list says "NTUSER.DAT".
            if (hivePath.size() < 4) return;
            const std::string shortened = hivePath.substr(0, hivePath.size() - 4);
            if (!m_files.exists(m_directory + FileNamePart(shortened))) return;
            hivePath = shortened;
        }

        const HiveEntry hive = ClassifyHive(valueName);
        const std::string name = m_save && hive.perUser ? "user" + std::to_string(m_userCounter)
                                                        : FileNamePart(hivePath);
        if (!SaveHive(m_site, hive.root, hive.subKey, m_directory + name, m_save)) {
            m_site.run.SetError();
            m_site.run.AddWarning(name + " key");
            return;
        }
        if (!m_save) return;
        WriteIndexEntry(name, hivePath, hive.subKey);
        if (hive.perUser) ++m_userCounter;
        m_files.setAttributes(m_directory + name, kAttrNormal);
        if (m_zip) m_site.archiver.AddFile(m_fileName, m_directory + name);
    }

    void WriteIndexEntry(const std::string& name, const std::string& hivePath, const std::string& subKey)
    {
        Profile& index = m_site.platform.profile();
        const std::string location = LocationOnVolume(hivePath);
        index.write(m_index, "Location", name, location);
        index.write(m_index, "ShortLocation", name, ShortLocation(location));
        index.write(m_index, "Key", name, subKey);
    }

    std::string ShortLocation(const std::string& location)
    {
        const std::string drive = m_site.windowsDirectory.substr(0, 2);
        const std::string shortPath = ShortForm(m_files, drive + location);
        return StartsWithNoCase(shortPath, drive) ? shortPath.substr(2) : shortPath;
    }

    void FinishIndex()
    {
        m_files.setAttributes(m_index, kAttrNormal);
        if (m_zip) m_site.archiver.AddFile(m_fileName, m_index);
    }

    // The per-user hives go back under the security identifiers recorded when they were saved.
    void RestoreUserHives()
    {
        for (int number = 0;; ++number) {
            const std::string name = "user" + std::to_string(number);
            if (!m_files.exists(m_directory + name)) break;
            const std::string key = m_site.repairCopies
                                        ? std::string()
                                        : m_site.platform.profile().readString(m_index, "Key", name, "");
            if (key.empty()) continue;
            if (!SaveHive(m_site, kHKeyUsers, key, m_directory + name, false)) {
                m_site.run.SetError();
                m_site.run.AddWarning(key + " key");
            }
        }
    }

    void Finish(bool unwinding)
    {
        m_site.run.EndProgress();
        if (!(m_save && m_zip)) return;
        RemoveWorkDirectory();
        const std::string spare = m_site.windowsDirectory + kSpareRegistryName;
        try {
            m_site.archiver.CopyFile(m_fileName, spare, m_step);
        } catch (...) {
            // The first error is the one the caller must see.
            if (!unwinding) throw;
        }
        m_files.setAttributes(m_fileName, kAttrNormal);
        m_files.setAttributes(spare, kAttrNormal);
    }

    void RemoveWorkDirectory()
    {
        DeleteFilesIn(m_files, m_directory);
        if (m_files.removeDirectory(m_workDirectory) == kErrorSuccess) return;
        m_site.run.ShowMessage("The " + m_workDirectory + " directory could not be removed.\r\r" +
                               "This is probably because files exist in subdirectories.\r\r" +
                               "You will need to use Windows Explorer to remove this directory.");
    }

    HiveSite& m_site;
    Files& m_files;
    const std::string m_fileName;
    const int m_step;
    const bool m_save;
    const bool m_zip;
    std::string m_directory;
    std::string m_workDirectory;
    std::string m_index;
    int m_userCounter = 0;
};

}  // namespace

std::string RedoDirectory(const std::string& windowsDirectory)
{
    return windowsDirectory + "System32\\config\\Redo";
}

std::string UndoDirectory(const std::string& windowsDirectory)
{
    return windowsDirectory + "System32\\config\\Undo";
}

bool SaveHive(HiveSite& site, HKey root, const std::string& subKey, const std::string& fileName, bool save)
{
    {
        ProcessToken token(site.platform.security());
        if (!token.Enable(save ? kSeBackupName : kSeRestoreName)) {
            site.run.ShowMessage(save ? "You do not have Backup Privileges.  Backup is not possible for this user."
                                      : "You do not have Restore Privileges.  Restore is not possible for this user.");
            return false;
        }
    }
    Files& files = site.platform.files();
    TNTRegistry registry(site.platform.registry());
    registry.UseRoot(root);

    if (save) {
        // RegSaveKeyA refuses to write over an existing file.
        DeleteAnyFile(files, fileName);
        registry.OpenPath(subKey, false);
        if (!registry.SaveToFile(subKey, fileName)) return false;
        site.run.CountFile();
        return true;
    }

    if (!files.exists(fileName)) return true;
    // We keep the previous hives in Undo so that they can be put back by hand or by Undo.
    const std::string old = UndoDirectory(site.windowsDirectory) + "\\" + FileNamePart(fileName);
    DeleteAnyFile(files, old);
    // A log left beside the new file would be replayed onto it at the next start.
    DeleteAnyFile(files, fileName + ".log");
    if (!registry.ReplaceWithFile(subKey, ShortForm(files, fileName), ShortForm(files, old)))
        return false;
    site.run.CountFile();
    return true;
}

void SaveNTRegistry(HiveSite& site, const std::string& fileName, int step, bool save, bool zip)
{
    HiveWalk(site, fileName, step, save, zip).Run();
}

}  // namespace brx::registry
