// Paths of the machine the program runs on, computed once at start-up. Directory values end
// with a backslash; the Windows and System directories are upper case.
#pragma once

#include <string>

namespace brx::core {

struct SystemPaths {
    std::string programPath;          // "C:\PROGRAM FILES\BRELLIX\Brellix2K.exe" as the system gives it
    std::string programDirectory;     // its directory
    std::string settingsFile;         // programDirectory + "brxset.ini"
    std::string helpFile;             // programDirectory + the edition's help file
    std::string windowsDirectory;
    std::string systemDirectory;
    std::string windowsDrive;         // "C:"
    std::string startupFolder;        // the user's "Startup" shell folder
    std::string userProfile;          // "C:\Documents and Settings\<user>\" or the Windows directory
    std::string bootRoot;             // first drive root holding ntldr
    std::string windowsBootDirectory; // %winbootdir%\ or the Windows directory
    std::string commandInterpreter;   // %ComSpec% or System directory + "cmd.exe"
    std::string tempDirectory;        // %TEMP% or Root + "Temp\"
    bool safeMode = false;
};

// Facts the main window shows at start-up.
struct StartupFacts {
    bool spareRegistry = false;   // "registry.daz" in the Windows directory
    bool repairCopy = false;      // "repair\system" or "repair\system._" there
    bool hasBackupSets = false;   // "Backup Directories" has at least one entry
    bool undoDorAdur = false;     // "registry.zzz" in the Windows directory
};

}  // namespace brx::core
