#include "disks/Emergency.h"

namespace brx::disks {

const std::vector<Troubleshooter>& Troubleshooters(const editions::Edition& edition)
{
    static const std::vector<Troubleshooter> win2000 = {
        {"Client Service for Netware", "tshoot.chm", "Tscsnw.htm"},
        {"Display", "tshoot.chm", "Tsdisp.htm"},
        {"Hardware", "tshoot.chm", "TsHardw.htm"},
        {"Internet Connections", "tshoot.chm", "TsISP.htm"},
        {"Modem", "tshoot.chm", "TsModem.htm"},
        {"MS-DOS Programs", "tshoot.chm", "Tsdos.htm"},
        {"Multimedia and Games", "tshoot.chm", "Tsgame.htm"},
        {"Networking - TCP/IP", "tshoot.chm", "Tsnetwrk.htm"},
        {"Print", "tshoot.chm", "tsPrint.htm"},
        {"Remote Access", "tshoot.chm", "TsRAS.htm"},
        {"Sound", "tshoot.chm", "tsSound.htm"},
        {"System Setup", "tshoot.chm", "TsSetup.htm"},
        {"Windows 3.1 Programs", "tshoot.chm", "Ts16bit.htm"},
    };
    static const std::vector<Troubleshooter> nt = {
        {"Free Disk Space", "windows.hlp", "IDH_WASTE_FREEING_DISK_SPACE"},
        {"Modem", "windows.hlp", "IDH_DIAL_WHAT_WRONG"},
        {"Network", "NETWORK.HLP", "NET_WHAT_WRONG"},
        {"Out of Memory", "WINDOWS.HLP", "MEMORY_WHAT_WRONG"},
        {"Playing Videos", "WINDOWS.HLP", "WIN_MMCPL_VIDEO_WINDOW_ADVANCED"},
        {"Printing", "WINDOWS.HLP", "PTS_WHAT_WRONG"},
    };
    return edition.IsNT() ? nt : win2000;
}

void MakeSetupDisks(core::Program& program)
{
    const bool nt = program.edition.IsNT();
    const auto chosen = nt ? program.ui.ChooseOpenFile(
                                 "Find the Winnt32.exe file (in i386 directory on WinNT CD)",
                                 "winnt32.exe|winnt32.exe", "", "")
                           : program.ui.ChooseOpenFile(
                                 "Find the MakeBoot.exe file (in BootDisk directory on Win2000 CD)",
                                 "makeboot.exe|makeboot.exe", "", "");
    if (!chosen)
        return;
    // The path goes in as it is, blanks and all: the maker is started by its own file name.
    const std::string commandLine = nt ? *chosen + " /OX" : *chosen;
    core::Ui& ui = program.ui;
    program.platform.processes().run(commandLine, "", platform::ShowWindow::Normal,
                                     [&ui] { ui.Pump(); });
}

void MakeRepairDisk(core::Program& program)
{
    core::Ui& ui = program.ui;
    program.platform.processes().run(program.paths.windowsDirectory + "system32\\rdisk.exe", "",
                                     platform::ShowWindow::Normal, [&ui] { ui.Pump(); });
}

void OpenTroubleshooter(core::Program& program, WindowServices& window, int item)
{
    const auto& list = Troubleshooters(program.edition);
    const std::string& windows = program.paths.windowsDirectory;
    auto& files = program.platform.files();
    if (!program.edition.IsNT()) {
        const std::string chm = windows + "Help\\tshoot.chm";
        if (item < 0 || item >= static_cast<int>(list.size()))
            return;
        if (!files.exists(chm)) {
            program.ui.Inform(program.edition.title, kMsgTroubleshootersNotSetUp);
            return;
        }
        window.ShowCompiledHelpPage(chm, list[item].page);
        return;
    }
    if (item >= 0 && item < static_cast<int>(list.size())) {
        const std::string helpFile = windows + "System32\\" + list[item].helpFile;
        if (files.exists(helpFile)) {
            window.JumpToHelpTopic(helpFile, list[item].page);
            return;
        }
    }
    program.ui.Inform(program.edition.title, kMsgTroubleshooterNotFound);
}

}  // namespace brx::disks
