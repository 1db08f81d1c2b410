// Other-files packages: named groups of files that each become one archive ("NAME.zip") in
// every backup set of the configurations that tick them.
//
// A package lives in the section "MultiFiles<i>" of the settings file, numbered from 0 without
// gaps; the list ends at the first section without a "FileName". Every operation reads and
// writes the file key by key at once, so a crash leaves at worst one half-written section,
// which reads back as a shorter package.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Ui.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace brx::files {

inline constexpr const char* kPackageSectionPrefix = "MultiFiles";

inline constexpr const char* kNoFileNameText = "A Filename has not been entered.  Please enter one.";
inline constexpr const char* kInvalidFileNameText =
    "Invalid Character in FileName (\\,/,:,*,?,\",<,>,|)";
inline constexpr const char* kNothingSelectedText =
    "Nothing is selected to Backup.  You must either select a File Type when a folder is "
    "selected or check a file in the Files section.";
inline constexpr const char* kNameUsedSuffix =
    " is already used as a Filename.  Please type in another Filename.";
inline constexpr const char* kTooManyFilesText =
    "WARNING - this Backup has more than 32,767 files in it.  This will probably cause problems "
    "when trying to restore it.  Please divide the Backup into smaller Backups.";
inline constexpr int kMaxRestorableFiles = 32767;

struct PackageDefinition {
    std::string name;
    std::string folder;                     // ends in "\"
    std::vector<std::string> includes;      // ">C:\DATA\*.TXT" or "|C:\DATA\*.TXT"
    std::vector<std::string> excludes;      // same form, without the "-" of the stored form
    std::vector<std::string> fileEntries;   // "+C:\DATA\A.TXT" or "-C:\DATA\B.TXT", sorted
};

// What a backup hands to the archive engine for one package.
struct ExpandedPackage {
    std::string name;                       // the archive is name + ".zip"
    std::vector<std::string> filesList;
    std::vector<std::string> excludeList;
    bool recurse = true;
};

struct PackageEstimate {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    bool tooManyFiles() const { return files > static_cast<std::uint64_t>(kMaxRestorableFiles); }
};

class Packages {
public:
    Packages(platform::Profile& profile, std::string settingsFile);

    static std::string SectionName(int index);

    std::vector<std::string> ListPackages();
    static std::string ProposePackageName(const std::vector<std::string>& listed);

    // `currentFolder` stands in for a missing "Path" (the folder the program works in).
    PackageDefinition LoadPackage(int index, const std::string& currentFolder);

    // Checks the definition and writes its section. `index` equal to the number of packages
    // adds a new one. Returns the message that refuses the save, or nullopt when saved.
    std::optional<std::string> SavePackage(int index, const PackageDefinition& package);

    // Removes package `index`; the later sections move down by one.
    void DeletePackage(int index);

    ExpandedPackage ExpandPackage(int index);

    // Whether configuration `config` (1 to 4) ticks package `index`.
    bool IsTicked(int index, int config);

private:
    std::string Read(const std::string& section, const std::string& key);
    void Write(const std::string& section, const std::string& key, const std::string& value);
    void CopySection(const std::string& from, const std::string& to);
    void CopyNumbered(const std::string& from, const std::string& to, const std::string& key);

    platform::Profile& m_profile;
    std::string m_file;
};

// Counts what a package would hold. Every include is listed with its own mask; with recursion
// every subfolder is searched, as the backup does. `pump` runs after every entry so windows
// stay alive on large trees.
PackageEstimate EstimatePackage(platform::Files& files, const PackageDefinition& package,
                                bool includeSubdirectories, const std::function<void()>& pump);

// The same for the "Files to Backup" dialog: windows stay alive through `ui`, and a package too
// large to restore safely gets the warning, captioned `caption`.
PackageEstimate EstimatePackage(platform::Files& files, const PackageDefinition& package,
                                bool includeSubdirectories, core::Ui& ui, const std::string& caption);

// A folder part is present when the entry holds a backslash.
bool HasFolderPart(const std::string& entry);

}  // namespace brx::files
