#include "disks/BootDisk.h"

#include <cctype>
#include <exception>

namespace brx::disks {

namespace {

struct DriveQuestion {
    const char* caption;
    const char* prompt;
};

DriveQuestion DriveQuestionFor(const editions::Edition& edition)
{
    if (edition.IsNT())
        return {"Disk Drive", "Please insert a disk and Enter the letter of the Disk Drive."};
    return {"Diskette Drive", "Please insert a diskette and Enter the letter of the Diskette Drive."};
}

// The program's directory needs the command interpreter beside cmd.pif for the DOS tools it
// starts from the diskette's machine.
bool PrepareProgramDirectory(core::Program& program, BootDiskWork& work)
{
    auto& files = program.platform.files();
    const std::string& directory = program.paths.programDirectory;
    if (!files.exists(directory + "cmd.pif")) {
        program.ui.Inform(program.edition.title, kMsgCmdNotSetUp);
        return false;
    }
    if (!files.exists(directory + "cmd.exe") && files.exists(program.paths.commandInterpreter))
        work.CopyFile(program.paths.commandInterpreter, directory + "cmd.exe", 1);
    return true;
}

void CopyBootFiles(core::Program& program, BootDiskWork& work, char drive)
{
    auto& files = program.platform.files();
    const std::string root = std::string(1, drive) + ":\\";
    for (const BootDiskFile& file : BootDiskFiles(program)) {
        if (file.onlyIfPresent && !files.exists(file.source))
            continue;
        work.CopyFile(file.source, root + file.name, file.step);
    }
}

void OfferRegBack(core::Program& program, BootDiskWork& work)
{
    if (!program.ui.AskYesNo(kCaptionRegBack, kMsgRegBackQuestion))
        return;
    const std::string regBack = program.paths.windowsDirectory + "Repair\\RegBack\\";
    auto& files = program.platform.files();
    // Create the folder with every missing parent.
    std::string partial;
    for (std::size_t at = regBack.find('\\', 3); at != std::string::npos;
         at = regBack.find('\\', at + 1)) {
        partial = regBack.substr(0, at);
        if (!files.isDirectory(partial))
            files.createDirectory(partial);
    }
    work.SaveRegistry(regBack, 10);
    work.SetProgressParts(1, 0);
}

void EndWithProgressClosed(core::Program& program, BootDiskWork& work)
{
    core::Ui& ui = program.ui;
    ui.HideProgress();
    ui.SetBusyCursor(false);
    ui.SetArchiveGauge(0);
    work.SetRunGauge(0);
    ui.SetCopyAnimation(false);
}

}  // namespace

std::vector<BootDiskFile> BootDiskFiles(const core::Program& program)
{
    const bool nt = program.edition.IsNT();
    const std::string& boot = program.paths.bootRoot;
    const std::string& windows = program.paths.windowsDirectory;
    const int step = nt ? 15 : 10;
    std::vector<BootDiskFile> list = {
        {boot + "ntldr", "ntldr", false, step},
        {boot + "ntdetect.com", "ntdetect.com", false, step},
        {boot + "bootsect.dos", "bootsect.dos", false, step},
        {boot + "boot.ini", "boot.ini", false, step},
        {boot + "bootfont.bin", "bootfont.bin", false, step},
        {boot + "ntbootdd.sys", "ntbootdd.sys", true, 10},
    };
    if (!nt) {
        list.push_back({windows + "repair\\autoexec.nt", "autoexec.nt", false, 10});
        list.push_back({windows + "repair\\config.nt", "config.nt", false, 10});
        list.push_back({windows + "repair\\setup.log", "setup.log", false, 10});
    }
    return list;
}

std::optional<char> DriveLetterOf(const std::string& answer)
{
    if (answer.empty())
        return std::nullopt;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(answer.front())));
}

void MakeBootDisk(core::Program& program, WindowServices& window, BootDiskWork& work)
{
    core::Ui& ui = program.ui;
    if (program.paths.safeMode) {
        ui.Warn(program.edition.title, kMsgSafeMode);
        return;
    }
    const DriveQuestion question = DriveQuestionFor(program.edition);
    const auto answer = ui.InputBox(question.caption, question.prompt, "A");
    if (!answer)
        return;
    // The format dialog and the copies need a letter; an empty answer ends here as Cancel does.
    const auto drive = DriveLetterOf(*answer);
    if (!drive)
        return;
    if (!PrepareProgramDirectory(program, work))
        return;
    if (ui.AskYesNo(kCaptionFormat, kMsgFormatQuestion, core::MessageIcon::Question,
                    core::Answer::Yes))
        window.FormatDrive(*drive - 'A');
    window.RepaintMainWindow();

    program.run.BeginOperation();
    try {
        ui.SetProgressCaption(kCaptionCopying);
        ui.SetBusyCursor(true);
        work.SetRunGauge(8);
        ui.SetArchiveGauge(0);
        ui.SetCopyAnimation(true);
        ui.ShowProgress();
        CopyBootFiles(program, work, *drive);
        if (!program.edition.IsNT()) {
            ui.SetProgressStatus("Backing up Registry");
            work.SetProgressParts(7, 0);
        }
        if (ui.ApplicationMinimized())
            ui.RestoreApplication();
        ui.HideProgress();
        ui.SetApplicationTitle(program.edition.title);
        ui.SetBusyCursor(false);
        if (!program.edition.IsNT())
            OfferRegBack(program, work);
        window.WarningBeep();
        ui.Inform(program.edition.title, kMsgDisketteCompleted);
    } catch (const std::exception&) {
        EndWithProgressClosed(program, work);
        ui.Inform(program.edition.title, kMsgBootDiskFailed);
    }
}

}  // namespace brx::disks
