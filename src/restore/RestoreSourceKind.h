#pragma once

namespace brx::restore {

// What a restore works from; decided when the Restore button resolves the choice.
enum class RestoreSourceKind {
    BackupSet,        // a backup set directory whose files are archives
    SpareRegistry,    // "registry.daz" in the Windows directory
    Diskette,         // a backup set on removable disks
    RepairCopies,     // plain (or, on NT, compressed) hive copies as in Windows' repair directory
    PlainBackupSet,   // a backup set written without compression
};

}  // namespace brx::restore
