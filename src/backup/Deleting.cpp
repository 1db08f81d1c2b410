#include "backup/Deleting.h"

#include "backup/Paths.h"

namespace brx::backup {
namespace {

bool IsDriveRoot(const std::string& directory) {
    const std::string bare = RemoveBackSl(directory);
    return bare.size() == 2 && bare[1] == ':';
}

// Returns false when the walk was cancelled.
bool EmptyTree(platform::Files& files, const std::string& directory, const DeleteHooks& hooks) {
    for (const auto& entry : files.find(directory + "*")) {
        if (hooks.pump) hooks.pump();
        if (hooks.cancelled && hooks.cancelled()) return false;
        const std::string path = directory + entry.name;
        if (entry.isDirectory()) {
            if (!EmptyTree(files, path + "\\", hooks)) return false;
            files.removeDirectory(path);
        } else {
            files.setAttributes(path, platform::kAttrNormal);
            files.deleteFile(path);
        }
    }
    return true;
}

}  // namespace

bool DeleteFiles(platform::Files& files, const std::string& directory, const std::string& pattern) {
    if (directory.empty() || directory == "\\") return true;
    const std::string folder = CheckPath(directory);
    for (const auto& entry : files.find(folder + pattern)) {
        if (entry.isDirectory()) continue;
        const std::string path = folder + entry.name;
        files.setAttributes(path, platform::kAttrNormal);
        if (files.deleteFile(path) != platform::kErrorSuccess) return false;
    }
    return true;
}

void DeleteSubDirs(platform::Files& files, const std::string& directory, const DeleteHooks& hooks) {
    if (directory.empty() || directory == "\\" || directory == "@") return;
    const std::string folder = CheckPath(directory);
    if (!EmptyTree(files, folder, hooks)) return;
    if (!IsDriveRoot(folder)) files.removeDirectory(RemoveBackSl(folder));
}

}  // namespace brx::backup
