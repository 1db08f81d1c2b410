#include "platform/hosted/MachineBuilder.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/hosted/DemoHives.h"
#include "platform/hosted/HostFile.h"
#include "platform/hosted/SzddWriter.h"
#include "platform/hosted/Machine.h"
#include "platform/hosted/WindowsPath.h"

namespace brx::platform::hosted {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUserSidBase = "S-1-5-21-1004336348-1177238915-682003330-";

HiveWriter& hiveWriter() {
    static HiveWriter writer = writeDemoHives;
    return writer;
}

bool isNt(const MachineOptions& options) { return options.edition == WindowsEdition::WindowsNT; }

// "C:\WINNT\win.ini" → DIR/C/WINNT/win.ini
fs::path hostOf(const std::string& machineDir, const std::string& windowsPath) {
    fs::path path = fs::path(machineDir) / std::string(1, windowsPath[0]);
    std::string rest = windowsPath.size() > 3 ? windowsPath.substr(3) : std::string();
    std::size_t start = 0;
    while (start < rest.size()) {
        auto end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        if (end > start) path /= rest.substr(start, end - start);
        start = end + 1;
    }
    return path;
}

class Writer {
public:
    explicit Writer(std::string machineDir) : machineDir_(std::move(machineDir)) {}

    void directory(const std::string& windowsPath) {
        std::error_code error;
        fs::create_directories(hostOf(machineDir_, windowsPath), error);
        if (error) throw std::runtime_error("Cannot create " + hostOf(machineDir_, windowsPath).string() + ": " + error.message());
    }

    void file(const std::string& windowsPath, const std::string& content) {
        const fs::path host = hostOf(machineDir_, windowsPath);
        directory(windowsPath.substr(0, windowsPath.find_last_of('\\')));
        std::ofstream out(host, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out) throw std::runtime_error("Cannot write " + host.string());
    }

    // INI-like text files are CR LF text on Windows.
    void text(const std::string& windowsPath, const std::string& lines) {
        std::string crlf;
        for (char c : lines) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        file(windowsPath, crlf);
    }

private:
    std::string machineDir_;
};

// A small DOS program that only says what it is; the machine's programs are not run by Brellix.
std::string dosProgram(const std::string& what) {
    std::string bytes = "MZ";
    bytes.append(62, '\0');
    bytes += "This program cannot be run in a demo machine: " + what + "\r\n$";
    return bytes;
}

std::string bootIni(const MachineOptions& options) {
    const std::string name = isNt(options) ? "Windows NT Workstation Version 4.00" : "Microsoft Windows 2000 Professional";
    std::string text = "[boot loader]\ntimeout=30\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINNT\n"
                       "[operating systems]\n"
                       "multi(0)disk(0)rdisk(0)partition(1)\\WINNT=\"" + name + "\" /fastdetect\n";
    if (isNt(options))
        text += "multi(0)disk(0)rdisk(0)partition(1)\\WINNT=\"" + name + " [VGA mode]\" /basevideo /sos\n";
    text += "C:\\=\"MS-DOS\"\n";
    return text;
}

std::string winIni() {
    return "; for 16-bit app support\n[fonts]\n[extensions]\n[mci extensions]\n[files]\n[Mail]\nMAPI=1\n"
           "[windows]\nload=\nrun=\nNullPort=None\n[Desktop]\nWallpaper=(None)\nTileWallpaper=0\n";
}

std::string systemIni() {
    return "; for 16-bit app support\n[boot]\nshell=Explorer.exe\nsystem.drv=system.drv\n"
           "[drivers]\nwave=mmdrv.dll\ntimer=timer.drv\n[mci]\n[386Enh]\nwoafont=dosapp.FON\n"
           "EGA80WOA.FON=EGA80WOA.FON\nEGA40WOA.FON=EGA40WOA.FON\n";
}

std::string autoexecNt() {
    return "@echo off\nREM AUTOEXEC.BAT is not used to initialize the MS-DOS environment.\n"
           "REM AUTOEXEC.NT is used instead.\nREM Install CD ROM extensions\nlh %SystemRoot%\\system32\\mscdexnt.exe\n"
           "REM Install network redirector\nlh %SystemRoot%\\system32\\redir\nREM Install DPMI support\n"
           "lh %SystemRoot%\\system32\\dosx\n";
}

std::string configNt() {
    return "REM Windows MS-DOS Startup File\nREM CONFIG.SYS vs CONFIG.NT\ndos=high, umb\n"
           "device=%SystemRoot%\\system32\\himem.sys\nfiles=40\n";
}

std::string setupLog(const MachineLayout& layout) {
    return "[Paths]\nTargetDirectory = \"\\WINNT\"\nTargetDevice = \"\\Device\\Harddisk0\\Partition1\"\n"
           "SystemPartitionDirectory = \"\\\"\n[Signature]\nVersion = \"WinNt5.0\"\n[Files.WinNt]\n\\" +
           layout.systemDirectory.substr(3) + "\\cmd.exe = \"cmd.exe\",\"3d4d0\"\n";
}

std::string internetShortcut(const std::string& url) { return "[InternetShortcut]\nURL=" + url + "\n"; }

void writeMachineIni(const std::string& dir, const MachineOptions& options, const MachineLayout& layout) {
    const std::string device = "\\Device\\HarddiskVolume1";
    auto onDevice = [&](const std::string& windowsPath) { return device + windowsPath.substr(2); };
    const std::string configDir = layout.systemDirectory + "\\config\\";
    const std::string temp = isNt(options) ? "C:\\TEMP" : layout.profileDirectory + "\\Local Settings\\Temp";

    std::string ini;
    ini += "[Machine]\n";
    ini += "Edition=" + std::string(isNt(options) ? "nt" : "2000") + "\n";
    ini += "WindowsDirectory=" + layout.windowsDirectory + "\n";
    ini += "SystemDirectory=" + layout.systemDirectory + "\n";
    ini += "UserName=" + options.userName + "\n";
    ini += "UserSid=" + layout.userSid + "\n";
    ini += "ComputerName=" + options.computerName + "\n";
    ini += "SafeMode=0\n";
    ini += "ProgramPath=" + layout.programPath + "\n";
    ini += "ShortDateFormat=M/d/yyyy\n";
    ini += "Viewer=" + options.viewer + "\n";
    if (options.today) {
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", options.today->year, options.today->month, options.today->day);
        ini += "Today=" + std::string(date) + "\n";
    }
    ini += "\n[Drives]\nC=fixed,C,SYSTEM\n";
    if (options.withDiskette) ini += "A=removable,A," + std::to_string(kDisketteCapacity) + "\n";
    if (options.withCdRom) ini += "D=cdrom,D," + std::string(isNt(options) ? "NTWKS_EN" : "W2PFPP_EN") + "\n";
    ini += "\n[Devices]\n" + device + "=C\n";
    ini += "\n[Environment]\n";
    ini += "ComSpec=" + layout.systemDirectory + "\\cmd.exe\n";
    ini += "TEMP=" + temp + "\nTMP=" + temp + "\n";
    ini += "USERPROFILE=" + layout.profileDirectory + "\n";
    if (!isNt(options)) ini += "ALLUSERSPROFILE=" + layout.allUsersDirectory + "\n";
    ini += "HOMEDRIVE=C:\nHOMEPATH=" + layout.profileDirectory.substr(2) + "\n";
    ini += "OS=Windows_NT\nPATH=" + layout.systemDirectory + ";" + layout.windowsDirectory + "\n";
    ini += "\n[Hives]\n";
    ini += "\\REGISTRY\\MACHINE\\HARDWARE=\n";
    ini += "\\REGISTRY\\MACHINE\\SAM=" + onDevice(configDir + "SAM") + "\n";
    ini += "\\REGISTRY\\MACHINE\\SECURITY=" + onDevice(configDir + "SECURITY") + "\n";
    ini += "\\REGISTRY\\MACHINE\\SOFTWARE=" + onDevice(configDir + "SOFTWARE") + "\n";
    ini += "\\REGISTRY\\MACHINE\\SYSTEM=" + onDevice(configDir + "SYSTEM") + "\n";
    ini += "\\REGISTRY\\USER\\.DEFAULT=" + onDevice(configDir + "DEFAULT") + "\n";
    ini += "\\REGISTRY\\USER\\" + layout.userSid + "=" + onDevice(layout.profileDirectory + "\\NTUSER.DAT") + "\n";
    if (!isNt(options))
        ini += "\\REGISTRY\\USER\\" + layout.userSid + "_Classes=" +
               onDevice(layout.profileDirectory + "\\Local Settings\\Application Data\\Microsoft\\Windows\\UsrClass.dat") + "\n";
    ini += "\n[Privileges]\nBackup=1\nRestore=1\nShutdown=1\n";
    ini += "\n[Programs]\n";
    std::string crlf;
    for (char c : ini) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    if (!replaceHostFileAtomically(dir + "/" + kMachineIniName, crlf))
        throw std::runtime_error("Cannot write " + dir + "/" + kMachineIniName);
}

void writeWindows(Writer& out, const MachineOptions& options, const MachineLayout& layout) {
    const std::string& windows = layout.windowsDirectory;
    const std::string& system = layout.systemDirectory;
    out.text(windows + "\\win.ini", winIni());
    out.text(windows + "\\system.ini", systemIni());
    out.text(windows + "\\control.ini", "[current]\ncolor schemes=Windows Standard\n[MMCPL]\nNumApps=0\n");
    out.file(windows + "\\notepad.exe", dosProgram("notepad"));
    out.file(windows + "\\regedit.exe", dosProgram("regedit"));
    out.directory(windows + "\\Temp");
    if (isNt(options)) out.directory("C:\\TEMP");
    out.directory(windows + "\\Help");
    for (const char* program : {"cmd.exe", "notepad.exe", "expand.exe", "attrib.exe", "regedt32.exe"})
        out.file(system + "\\" + program, dosProgram(program));
    out.file(system + "\\command.com", dosProgram("command.com"));
    if (isNt(options)) out.file(system + "\\rdisk.exe", dosProgram("rdisk"));
    for (const char* applet : {"main.cpl", "desk.cpl", "timedate.cpl", "sysdm.cpl", "appwiz.cpl", "intl.cpl"})
        out.file(system + "\\" + applet, dosProgram(applet));
    out.text(system + "\\autoexec.nt", autoexecNt());
    out.text(system + "\\config.nt", configNt());
    out.directory(system + "\\config");
    out.directory(windows + "\\repair");
    out.text(windows + "\\repair\\autoexec.nt", autoexecNt());
    out.text(windows + "\\repair\\config.nt", configNt());
    out.text(windows + "\\repair\\setup.log", setupLog(layout));
}

void writeBootFiles(Writer& out, const MachineOptions& options) {
    out.file("C:\\ntldr", dosProgram("ntldr"));
    out.file("C:\\ntdetect.com", dosProgram("ntdetect.com"));
    out.text("C:\\boot.ini", bootIni(options));
    out.file("C:\\bootfont.bin", std::string(4096, '\x01'));
    std::string bootSector(512, '\0');
    bootSector[0] = '\xEB';
    bootSector[1] = '\x3C';
    bootSector[2] = '\x90';
    bootSector.replace(3, 8, "MSDOS5.0");
    bootSector[510] = '\x55';
    bootSector[511] = '\xAA';
    out.file("C:\\bootsect.dos", bootSector);
    out.text("C:\\autoexec.bat", "");
    out.text("C:\\config.sys", "");
}

void writeProfile(Writer& out, const MachineOptions& options, const MachineLayout& layout) {
    const std::string& profile = layout.profileDirectory;
    const std::vector<std::string> folders = {
        "Desktop", "Favorites", "Start Menu\\Programs\\Startup", "Start Menu\\Programs\\Accessories",
        "SendTo", "Recent", "NetHood", "PrintHood", "Application Data", "Templates", "My Documents",
        isNt(options) ? "Temporary Internet Files" : "Local Settings\\Temporary Internet Files",
        "Local Settings\\Temp", "Local Settings\\Application Data\\Microsoft\\Windows",
    };
    for (const auto& folder : folders) out.directory(profile + "\\" + folder);
    for (const auto& folder : {"Desktop", "Start Menu\\Programs\\Startup", "Documents", "Favorites",
                               "Application Data", "Templates"})
        out.directory(layout.allUsersDirectory + "\\" + folder);
    // New users start from a copy of the Default User profile.
    const std::string defaultUser = windowsParent(layout.allUsersDirectory) + "\\Default User";
    for (const auto& folder : {"Desktop", "Start Menu\\Programs\\Startup", "Application Data", "Favorites",
                               "SendTo", "Templates", "My Documents"})
        out.directory(defaultUser + "\\" + folder);
    if (!options.withDemoFiles) return;

    const std::string cache = profile + (isNt(options) ? "\\Temporary Internet Files" : "\\Local Settings\\Temporary Internet Files");
    out.text(profile + "\\Desktop\\Shopping list.txt", "Milk\nBread\nDiskettes (3.5\", 1.44 MB)\n");
    out.text(profile + "\\Favorites\\Debian.url", internetShortcut("https://www.debian.org/"));
    out.text(profile + "\\Favorites\\Kernel.url", internetShortcut("https://www.kernel.org/"));
    out.text(profile + "\\Start Menu\\Programs\\Accessories\\Notepad.url", internetShortcut("file:///C:/WINNT/notepad.exe"));
    out.text(profile + "\\SendTo\\Notepad.url", internetShortcut("file:///C:/WINNT/notepad.exe"));
    out.text(profile + "\\Recent\\Shopping list.url", internetShortcut("file:///C:/Shopping%20list.txt"));
    out.text(profile + "\\NetHood\\Office server.url", internetShortcut("file://server/share"));
    out.text(profile + "\\PrintHood\\Laser printer.url", internetShortcut("file://server/laser"));
    out.text(profile + "\\Application Data\\settings.ini", "[Window]\nLeft=10\nTop=10\n");
    out.text(profile + "\\My Documents\\Letter.txt", "Dear reader,\n\nthis machine is a demonstration.\n");
    out.text(cache + "\\index.dat", std::string(2048, ' '));
    out.text(cache + "\\welcome.htm", "<html><body>Welcome</body></html>\n");
    out.text(layout.allUsersDirectory + "\\Documents\\Readme.txt", "Shared documents.\n");
}

void writeProgram(Writer& out, const MachineLayout& layout) {
    out.file(layout.programPath, dosProgram("the crash-recovery program"));
    out.file(layout.programDirectory + "\\cmd.pif", std::string(545, '\0'));
    out.file(layout.programDirectory + "\\brxdosnt.exe", dosProgram("the DOS restore program"));
    out.file(layout.programDirectory + "\\unzip.exe", dosProgram("unzip"));
}

void writeCdRom(Writer& out, const MachineOptions& options) {
    const std::string setup = isNt(options) ? "D:\\I386\\WINNT32.EXE" : "D:\\BOOTDISK\\MAKEBOOT.EXE";
    out.file(setup, dosProgram("setup"));
    out.text("D:\\README.TXT", "Installation CD\n");
}

// Read-only, hidden and system, as Setup leaves the boot files.
void markBootFiles(HostedPlatform& machine) {
    Files& files = machine.files();
    for (const char* file : {"C:\\ntldr", "C:\\ntdetect.com", "C:\\bootfont.bin"})
        files.setAttributes(file, kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    for (const char* file : {"C:\\boot.ini", "C:\\bootsect.dos"})
        files.setAttributes(file, kAttrHidden | kAttrSystem | kAttrArchive);
}

// The repair directory holds copies of the hives: plain on Windows 2000, SZDD-compressed on NT.
void writeRepairCopies(HostedPlatform& machine, const MachineOptions& options, const MachineLayout& layout) {
    Files& files = machine.files();
    const std::string repair = layout.windowsDirectory + "\\repair\\";
    const std::pair<std::string, std::string> hives[] = {
        {layout.systemDirectory + "\\config\\SYSTEM", "system"},
        {layout.systemDirectory + "\\config\\SOFTWARE", "software"},
        {layout.systemDirectory + "\\config\\SAM", "sam"},
        {layout.systemDirectory + "\\config\\SECURITY", "security"},
        {layout.systemDirectory + "\\config\\DEFAULT", "default"},
        {layout.profileDirectory + "\\NTUSER.DAT", "ntuser.dat"},
        {layout.profileDirectory + "\\Local Settings\\Application Data\\Microsoft\\Windows\\UsrClass.dat", "usrclass.dat"},
    };
    for (const auto& [source, name] : hives) {
        auto host = files.hostPath(source);
        if (!host) continue;
        auto content = readHostFile(*host);
        if (!content) continue;
        Writer out(machine.machineDir());
        if (isNt(options)) {
            std::string packed = name.find('.') == std::string::npos ? name + "._" : name.substr(0, name.size() - 1) + "_";
            out.file(repair + packed, szddCompress(*content, name));
        } else {
            out.file(repair + name, *content);
        }
    }
}

}  // namespace

void setHiveWriter(HiveWriter writer) { hiveWriter() = std::move(writer); }

std::string szddCompress(const std::string& content, const std::string& name) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
    const auto packed = szddCompress(std::span<const std::uint8_t>(bytes, content.size()), szddMissingCharacter(name));
    return std::string(packed.begin(), packed.end());
}

MachineLayout machineLayout(const std::string& dir, const MachineOptions& options) {
    MachineLayout layout;
    layout.machineDir = fs::absolute(dir).lexically_normal().string();
    while (layout.machineDir.size() > 1 && layout.machineDir.back() == '/') layout.machineDir.pop_back();
    layout.windowsDirectory = "C:\\WINNT";
    layout.systemDirectory = layout.windowsDirectory + (isNt(options) ? "\\system32" : "\\System32");
    if (isNt(options)) {
        layout.profileDirectory = layout.windowsDirectory + "\\Profiles\\" + options.userName;
        layout.allUsersDirectory = layout.windowsDirectory + "\\Profiles\\All Users";
    } else {
        layout.profileDirectory = "C:\\Documents and Settings\\" + options.userName;
        layout.allUsersDirectory = "C:\\Documents and Settings\\All Users";
    }
    layout.programDirectory = "C:\\Program Files\\Brellix";
    layout.programPath = layout.programDirectory + (isNt(options) ? "\\BrellixNT.exe" : "\\Brellix2K.exe");
    layout.userSid = std::string(kUserSidBase) + "500";
    return layout;
}

MachineLayout createMachine(const std::string& dir, const MachineOptions& options) {
    const MachineLayout layout = machineLayout(dir, options);
    if (fs::exists(fs::path(layout.machineDir) / kMachineIniName))
        throw std::runtime_error(layout.machineDir + " already holds a machine");
    std::error_code error;
    fs::create_directories(layout.machineDir, error);
    if (error) throw std::runtime_error("Cannot create " + layout.machineDir + ": " + error.message());

    Writer out(layout.machineDir);
    out.directory("C:\\");
    if (options.withDiskette && options.disketteInserted) out.directory("A:\\");
    if (options.withCdRom) out.directory("D:\\");
    writeBootFiles(out, options);
    writeWindows(out, options, layout);
    writeProfile(out, options, layout);
    writeProgram(out, layout);
    if (options.withCdRom) writeCdRom(out, options);
    writeMachineIni(layout.machineDir, options, layout);

    auto machine = openMachine(layout.machineDir);
    markBootFiles(*machine);
    if (options.withHives && hiveWriter()) {
        hiveWriter()(*machine, options);
        writeRepairCopies(*machine, options, layout);
    }
    return layout;
}

}  // namespace brx::platform::hosted
