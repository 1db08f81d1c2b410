#include "restore/RepairRestore.h"

#include <array>

#include "registry/ProgramHive.h"
#include "registry/WinPath.h"
#include "restore/Transfer.h"

namespace brx::restore {

using namespace brx::platform;
using registry::DeleteAnyFile;

namespace {

struct RepairCopy {
    const char* plain;        // the copy as Windows 2000 keeps it
    const char* compressed;   // the copy as Windows NT keeps it
    const char* expanded;     // what expanding the compressed copy gives
    const char* staged;       // its name in the Redo directory
};

constexpr std::array<RepairCopy, 7> kRepairCopies = {{
    {"sam", "sam._", "sam", "sam"},
    {"security", "security._", "security", "security"},
    {"software", "software._", "software", "software"},
    {"system", "system._", "system", "system"},
    {"default", "default._", "default", "default"},
    {"ntuser.dat", "ntuser.da_", "ntuser", "ntuser.dat"},
    {"usrclass.dat", "usrclass.da_", "usrclass", "usrclass.dat"},
}};

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The Redo directory starts empty, so that only the copies of this restore are scheduled.
std::string PrepareRedo(core::Program& program)
{
    Files& files = program.platform.files();
    const std::string leftover = program.paths.programDirectory + "Redo";
    if (files.isDirectory(leftover)) {
        registry::DeleteFilesIn(files, leftover + "\\");
        files.removeDirectory(leftover);
    }
    const std::string redo = registry::RedoDirectory(program.paths.windowsDirectory);
    registry::CreateDirectories(files, redo);
    registry::CreateDirectories(files, registry::UndoDirectory(program.paths.windowsDirectory));
    registry::DeleteFilesIn(files, redo + "\\");
    return redo + "\\";
}

// The expansion runs the command interpreter from the program's directory, which must hold its
// program-information file and a copy of the interpreter.
bool PrepareCommandInterpreter(core::Program& program, Transfer& transfer)
{
    Files& files = program.platform.files();
    const std::string& directory = program.paths.programDirectory;
    if (!files.exists(directory + "cmd.pif")) {
        program.ui.Inform(program.edition.title, "Cmd.exe is not properly setup.\r\rPlease reinstall Brellix.");
        return false;
    }
    if (!files.exists(directory + "cmd.exe")) {
        if (files.exists(program.paths.commandInterpreter))
            transfer.CopyFile(program.paths.commandInterpreter, directory + "cmd.exe", 0);
        else
            program.ui.Inform(program.edition.title, "Cmd.exe not found in System32 directory");
    }
    return true;
}

void StagePlainCopies(core::Program& program, Transfer& transfer, const std::string& source,
                      const std::string& redo)
{
    for (const RepairCopy& copy : kRepairCopies)
        if (program.platform.files().exists(source + copy.plain))
            transfer.CopyFile(source + copy.plain, redo + copy.staged, 0);
}

// NT keeps its repair copies compressed; an uncompressed backup set holds plain hive files,
// which are taken as they are when no compressed copy stands for them.
void StageCompressedCopies(core::Program& program, Transfer& transfer, const std::string& source,
                           const std::string& redo)
{
    Files& files = program.platform.files();
    for (const RepairCopy& copy : kRepairCopies) {
        if (!files.exists(source + copy.compressed)) {
            if (files.exists(source + copy.plain)) transfer.CopyFile(source + copy.plain, redo + copy.staged, 0);
            continue;
        }
        const std::string expanded = source + copy.expanded;
        Exec(program, "cmd.exe /c Expand " + Quoted(source + copy.compressed) + " " + Quoted(expanded),
             ShowWindow::Hide);
        if (!files.exists(expanded)) continue;
        transfer.CopyFile(expanded, redo + copy.staged, 0);
        DeleteAnyFile(files, expanded);
    }
}

}  // namespace

bool Exec(core::Program& program, const std::string& commandLine, ShowWindow show)
{
    const auto exitCode = program.platform.processes().run(commandLine, program.paths.programDirectory,
                                                           show, [&program] { program.ui.Pump(); });
    return exitCode.has_value();
}

void RestoreRepair(core::Program& program, const std::string& sourceDirectory, RestoreSourceKind kind)
{
    Transfer transfer(program);
    const bool nt = program.edition.IsNT();
    if (nt && !PrepareCommandInterpreter(program, transfer)) return;
    const std::string redo = PrepareRedo(program);
    if (nt)
        StageCompressedCopies(program, transfer, sourceDirectory, redo);
    else
        StagePlainCopies(program, transfer, sourceDirectory, redo);

    registry::ProgramHiveSite site(program, &transfer);
    site.Site().repairCopies = kind == RestoreSourceKind::RepairCopies;
    registry::SaveNTRegistry(site.Site(), redo, 0, false, false);
    program.ui.Pump();
}

}  // namespace brx::restore
