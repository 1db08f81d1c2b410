#include "files/Packages.h"

#include <stdexcept>

#include "files/Mask.h"

namespace brx::files {
namespace {

constexpr const char* kFileNameKey = "FileName";
constexpr const char* kFileTypeKey = "FileType";
constexpr const char* kFilesKey = "Files";
constexpr const char* kPathKey = "Path";
constexpr const char* kSubDirectoriesKey = "SubDirectories";
constexpr const char* kIncludeSubDirectoriesKey = "IncludeSubDirectories";
constexpr const char* kCheckKey = "Check";
constexpr std::string_view kIllegalNameCharacters = "\\/:*?\"<>|";

std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

}  // namespace

bool HasFolderPart(const std::string& entry) { return entry.find('\\') != std::string::npos; }

Packages::Packages(platform::Profile& profile, std::string settingsFile)
    : m_profile(profile), m_file(std::move(settingsFile)) {}

std::string Packages::SectionName(int index) {
    return kPackageSectionPrefix + std::to_string(index);
}

std::string Packages::Read(const std::string& section, const std::string& key) {
    return m_profile.readString(m_file, section, key, "");
}

void Packages::Write(const std::string& section, const std::string& key, const std::string& value) {
    if (!m_profile.write(m_file, section, key, value))
        throw std::runtime_error("Unable to write to " + m_file);
}

std::vector<std::string> Packages::ListPackages() {
    std::vector<std::string> names;
    for (int i = 0;; ++i) {
        std::string name = Read(SectionName(i), kFileNameKey);
        if (name.empty()) break;
        names.push_back(name);
    }
    return names;
}

std::string Packages::ProposePackageName(const std::vector<std::string>& listed) {
    for (int n = 1;; ++n) {
        std::string candidate = "Backup" + std::to_string(n);
        bool used = false;
        for (const auto& name : listed) used = used || name == candidate;
        if (!used) return candidate;
    }
}

PackageDefinition Packages::LoadPackage(int index, const std::string& currentFolder) {
    const std::string section = SectionName(index);
    PackageDefinition package;
    package.name = Read(section, kFileNameKey);
    auto path = m_profile.read(m_file, section, kPathKey);
    package.folder = FolderPart(path ? *path : currentFolder);

    for (int k = 0;; ++k) {
        std::string value = Read(section, kFileTypeKey + std::to_string(k));
        if (value.empty()) break;
        bool exclude = value[0] == '-';
        if (exclude) value.erase(0, 1);
        // An entry of the older layout is a bare mask relative to the package's folder.
        if (!HasFolderPart(value)) value = package.folder + value;
        (exclude ? package.excludes : package.includes).push_back(value);
    }
    for (int k = 0;; ++k) {
        std::string value = Read(section, kFilesKey + std::to_string(k));
        if (value.empty()) break;
        package.fileEntries.push_back(value);
    }
    return package;
}

std::optional<std::string> Packages::SavePackage(int index, const PackageDefinition& package) {
    if (package.name.empty()) return std::string(kNoFileNameText);
    if (package.name.find_first_of(kIllegalNameCharacters) != std::string::npos)
        return std::string(kInvalidFileNameText);
    if (package.includes.empty() && package.fileEntries.empty())
        return std::string(kNothingSelectedText);
    const auto listed = ListPackages();
    if (index >= static_cast<int>(listed.size())) {
        for (const auto& name : listed)
            if (name == package.name) return package.name + kNameUsedSuffix;
    }

    const std::string section = SectionName(index);
    m_profile.deleteSection(m_file, section);
    Write(section, kFileNameKey, package.name);
    int k = 0;
    for (const auto& entry : package.includes)
        Write(section, kFileTypeKey + std::to_string(k++), Quoted(entry));
    for (const auto& entry : package.excludes)
        Write(section, kFileTypeKey + std::to_string(k++), Quoted("-" + entry));
    k = 0;
    for (const auto& entry : package.fileEntries)
        Write(section, kFilesKey + std::to_string(k++), Quoted(entry));
    Write(section, kSubDirectoriesKey, "1");
    Write(section, kPathKey, package.folder);
    return std::nullopt;
}

void Packages::CopyNumbered(const std::string& from, const std::string& to,
                            const std::string& key) {
    int k = 0;
    for (;; ++k) {
        std::string value = Read(from, key + std::to_string(k));
        if (value.empty()) break;
        Write(to, key + std::to_string(k), Quoted(value));
    }
    // The receiving list must end where the copied one ends.
    for (;; ++k) {
        const std::string name = key + std::to_string(k);
        if (!m_profile.read(m_file, to, name)) break;
        m_profile.deleteKey(m_file, to, name);
    }
}

void Packages::CopySection(const std::string& from, const std::string& to) {
    std::vector<std::string> plainKeys = {kFileNameKey, kIncludeSubDirectoriesKey, kPathKey,
                                          kFileTypeKey};
    for (int c = 0; c <= 4; ++c) plainKeys.push_back(kCheckKey + std::to_string(c));
    for (const auto& key : plainKeys) {
        auto value = m_profile.read(m_file, from, key);
        if (value)
            Write(to, key, *value);
        else
            m_profile.deleteKey(m_file, to, key);
    }
    CopyNumbered(from, to, kFileTypeKey);
    CopyNumbered(from, to, kFilesKey);
}

void Packages::DeletePackage(int index) {
    int n = index;
    while (!Read(SectionName(n + 1), kFileNameKey).empty()) {
        CopySection(SectionName(n + 1), SectionName(n));
        ++n;
    }
    m_profile.deleteSection(m_file, SectionName(n));
}

ExpandedPackage Packages::ExpandPackage(int index) {
    const std::string section = SectionName(index);
    ExpandedPackage expanded;
    expanded.name = Read(section, kFileNameKey);
    const std::string folder = FolderPart(Read(section, kPathKey));
    auto withFolder = [&](const std::string& entry) {
        return HasFolderPart(entry) ? entry : folder + entry;
    };

    std::string oldMask = Read(section, kFileTypeKey);
    if (!oldMask.empty()) expanded.filesList.push_back(withFolder(oldMask));
    for (int k = 0;; ++k) {
        std::string value = Read(section, kFileTypeKey + std::to_string(k));
        if (value.empty()) break;
        if (value[0] == '-')
            expanded.excludeList.push_back(withFolder(value.substr(1)));
        else
            expanded.filesList.push_back(withFolder(value));
    }
    for (int k = 0;; ++k) {
        std::string value = Read(section, kFilesKey + std::to_string(k));
        if (value.empty()) break;
        (value[0] == '-' ? expanded.excludeList : expanded.filesList).push_back(value.substr(1));
    }
    return expanded;
}

bool Packages::IsTicked(int index, int config) {
    return platform::parseProfileInt(Read(SectionName(index), kCheckKey + std::to_string(config)),
                                     0) != 0;
}

// --- estimate ---------------------------------------------------------------------------------

namespace {

struct Exclusion {
    std::string mask;      // upper case, without its marker
    std::string ownFolder; // upper case; set when the exclusion holds for its own folder only
};

class Estimator {
public:
    Estimator(platform::Files& files, std::vector<Exclusion> exclusions,
              const std::function<void()>& pump)
        : m_files(files), m_exclusions(std::move(exclusions)), m_pump(pump) {}

    void Count(const std::string& path, bool recursive) {
        const std::string folder = FolderPart(path);
        const std::string mask = NamePart(path);
        const std::string upperFolder = UpperCase(folder);
        for (const auto& entry : m_files.find(path)) {
            if (m_pump) m_pump();
            if (entry.isDirectory()) continue;
            if (Excluded(upperFolder, UpperCase(entry.name))) continue;
            ++m_estimate.files;
            m_estimate.bytes += entry.size;
        }
        if (!recursive) return;
        for (const auto& entry : m_files.find(folder + "*")) {
            if (entry.isDirectory()) Count(folder + entry.name + "\\" + mask, true);
        }
    }

    PackageEstimate Result() const { return m_estimate; }

private:
    bool Excluded(const std::string& upperFolder, const std::string& upperName) const {
        const std::string full = upperFolder + upperName;
        for (const auto& exclusion : m_exclusions) {
            if (!exclusion.ownFolder.empty() && exclusion.ownFolder != upperFolder) continue;
            if (MatchesMask(exclusion.mask, full)) return true;
        }
        return false;
    }

    platform::Files& m_files;
    std::vector<Exclusion> m_exclusions;
    const std::function<void()>& m_pump;
    PackageEstimate m_estimate;
};

Exclusion MakeExclusion(const std::string& entry) {
    if (!entry.empty() && entry[0] == '>') return {UpperCase(entry.substr(1)), {}};
    if (!entry.empty() && (entry[0] == '\\' || entry[0] == '|')) {
        std::string mask = UpperCase(entry.substr(1));
        return {mask, FolderPart(mask)};
    }
    return {UpperCase(entry), {}};
}

}  // namespace

PackageEstimate EstimatePackage(platform::Files& files, const PackageDefinition& package,
                                bool includeSubdirectories, const std::function<void()>& pump) {
    std::vector<std::string> includes = package.includes;
    std::vector<Exclusion> exclusions;
    for (const auto& entry : package.excludes) exclusions.push_back(MakeExclusion(entry));
    for (const auto& entry : package.fileEntries) {
        if (entry.empty()) continue;
        if (entry[0] == '+')
            includes.push_back(entry.substr(1));
        else if (entry[0] == '-')
            exclusions.push_back(MakeExclusion(entry.substr(1)));
        else
            includes.push_back(entry);
    }

    Estimator estimator(files, std::move(exclusions), pump);
    for (const auto& include : includes) {
        if (include.empty()) continue;
        if (include[0] == '>')
            estimator.Count(include.substr(1), true);
        else if (include[0] == '\\' || include[0] == '|')
            estimator.Count(include.substr(1), false);
        else
            estimator.Count(include, includeSubdirectories);
    }
    return estimator.Result();
}

PackageEstimate EstimatePackage(platform::Files& files, const PackageDefinition& package,
                                bool includeSubdirectories, core::Ui& ui, const std::string& caption) {
    const auto estimate = EstimatePackage(files, package, includeSubdirectories, [&ui] { ui.Pump(); });
    if (estimate.tooManyFiles()) ui.Inform(caption, kTooManyFilesText);
    return estimate;
}

}  // namespace brx::files
