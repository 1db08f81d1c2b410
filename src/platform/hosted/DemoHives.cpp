#include "platform/hosted/DemoHives.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/hosted/Machine.h"
#include "platform/hosted/regf/HiveAuthor.h"
#include "platform/hosted/regf/RegfFormat.h"

namespace brx::platform::hosted {

namespace {

using regf::HiveAuthor;

constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

struct DemoContext {
    const MachineOptions& options;
    MachineLayout layout;
    bool nt() const { return options.edition == WindowsEdition::WindowsNT; }
    std::string rootName() const {
        return nt() ? "$$$PROTO.HIV" : "CMI-CreateHive{2A7FB991-7BBE-4F9D-B91E-7CB51D4737F5}";
    }
};

RegValue expandable(const std::string& name, const std::string& text) {
    return RegValue::string(name, text, kRegExpandSz);
}

RegValue multiString(const std::string& name, std::initializer_list<std::string> lines) {
    RegValue value = RegValue::string(name, "", kRegMultiSz);
    value.data.clear();
    for (const std::string& line : lines) {
        const RegValue one = RegValue::string({}, line);
        value.data.insert(value.data.end(), one.data.begin(), one.data.end());
    }
    value.data.push_back(0);
    value.data.push_back(0);
    return value;
}

RegValue binary(const std::string& name, std::vector<std::uint8_t> bytes, std::uint32_t type = kRegBinary) {
    RegValue value;
    value.name = name;
    value.type = type;
    value.data = std::move(bytes);
    return value;
}

struct Service {
    const char* name;
    const char* displayName;
    std::uint32_t type;   // 1 kernel driver, 2 file system driver, 0x10/0x20 own/shared process
    std::uint32_t start;  // 0 boot, 1 system, 2 automatic, 3 manual, 4 disabled
    const char* group;
    const char* image;
};

constexpr Service kServices[] = {
    {"Atapi", "Standard IDE/ESDI Hard Disk Controller", 1, 0, "SCSI miniport", "System32\\DRIVERS\\atapi.sys"},
    {"Disk", "Disk Driver", 1, 0, "SCSI Class", "System32\\DRIVERS\\disk.sys"},
    {"Cdrom", "CD-ROM Driver", 1, 1, "SCSI CDROM Class", "System32\\DRIVERS\\cdrom.sys"},
    {"Ntfs", "Ntfs", 2, 3, "Boot file system", "System32\\DRIVERS\\ntfs.sys"},
    {"Fastfat", "Fastfat", 2, 4, "Boot file system", "System32\\DRIVERS\\fastfat.sys"},
    {"Cdfs", "Cdfs", 2, 4, "File system", "System32\\DRIVERS\\cdfs.sys"},
    {"Floppy", "Floppy Disk Driver", 1, 1, "Primary disk", "System32\\DRIVERS\\floppy.sys"},
    {"i8042prt", "i8042 Keyboard and PS/2 Mouse Port Driver", 1, 1, "Keyboard Port", "System32\\DRIVERS\\i8042prt.sys"},
    {"Kbdclass", "Keyboard Class Driver", 1, 1, "Keyboard Class", "System32\\DRIVERS\\kbdclass.sys"},
    {"Mouclass", "Mouse Class Driver", 1, 1, "Pointer Class", "System32\\DRIVERS\\mouclass.sys"},
    {"Beep", "Beep", 1, 1, "Base", "System32\\DRIVERS\\beep.sys"},
    {"Null", "Null", 1, 1, "Base", "System32\\DRIVERS\\null.sys"},
    {"Parport", "Parallel port driver", 1, 3, "Parallel arbitrator", "System32\\DRIVERS\\parport.sys"},
    {"Serial", "Serial port driver", 1, 1, "Extended base", "System32\\DRIVERS\\serial.sys"},
    {"Tcpip", "TCP/IP Protocol Driver", 1, 1, "PNP_TDI", "System32\\DRIVERS\\tcpip.sys"},
    {"Afd", "AFD Networking Support Environment", 1, 1, "TDI", "System32\\drivers\\afd.sys"},
    {"EventLog", "Event Log", 0x20, 2, "Event log", "%SystemRoot%\\system32\\services.exe"},
    {"PlugPlay", "Plug and Play", 0x20, 2, "PlugPlay", "%SystemRoot%\\system32\\services.exe"},
    {"RpcSs", "Remote Procedure Call (RPC)", 0x20, 2, "", "%SystemRoot%\\system32\\rpcss.exe"},
    {"LanmanServer", "Server", 0x20, 2, "", "%SystemRoot%\\System32\\services.exe"},
    {"LanmanWorkstation", "Workstation", 0x20, 2, "NetworkProvider", "%SystemRoot%\\System32\\services.exe"},
    {"Browser", "Computer Browser", 0x20, 2, "", "%SystemRoot%\\System32\\services.exe"},
    {"Messenger", "Messenger", 0x20, 2, "", "%SystemRoot%\\System32\\services.exe"},
    {"Alerter", "Alerter", 0x20, 3, "", "%SystemRoot%\\System32\\services.exe"},
    {"Netlogon", "Net Logon", 0x20, 3, "RemoteValidation", "%SystemRoot%\\System32\\lsass.exe"},
    {"Spooler", "Print Spooler", 0x10, 2, "SpoolerGroup", "%SystemRoot%\\system32\\spoolsv.exe"},
    {"Schedule", "Task Scheduler", 0x20, 2, "SchedulerGroup", "%SystemRoot%\\System32\\svchost.exe -k netsvcs"},
    {"Dhcp", "DHCP Client", 0x20, 2, "TDI", "%SystemRoot%\\System32\\services.exe"},
    {"ClipSrv", "ClipBook", 0x10, 3, "", "%SystemRoot%\\system32\\clipsrv.exe"},
    {"Replicator", "Directory Replicator", 0x10, 3, "", "%SystemRoot%\\System32\\lmrepl.exe"},
};

void writeControlSet(HiveAuthor& hive, const DemoContext& demo, const std::string& set) {
    const std::string control = set + "\\Control";
    hive.text(control, "CurrentUser", "USERNAME");
    hive.text(control, "SystemStartOptions", " FASTDETECT");
    hive.text(control, "WaitToKillServiceTimeout", "20000");
    hive.text(control + "\\ComputerName\\ComputerName", "ComputerName", demo.options.computerName);
    hive.value(control + "\\Session Manager", multiString("BootExecute", {"autocheck autochk *"}));
    const std::string environment = control + "\\Session Manager\\Environment";
    hive.value(environment, expandable("ComSpec", "%SystemRoot%\\system32\\cmd.exe"));
    hive.value(environment, expandable("Path", "%SystemRoot%\\system32;%SystemRoot%"));
    hive.value(environment, expandable("windir", "%SystemRoot%"));
    hive.text(environment, "OS", "Windows_NT");
    hive.text(environment, "PROCESSOR_ARCHITECTURE", "x86");
    hive.text(environment, "NUMBER_OF_PROCESSORS", "1");
    hive.value(control + "\\Session Manager\\Memory Management", multiString("PagingFiles", {"C:\\pagefile.sys 96 192"}));
    hive.text(control + "\\ProductOptions", "ProductType", "WinNT");
    hive.text(control + "\\Nls\\CodePage", "ACP", "1252");
    hive.text(control + "\\Nls\\CodePage", "OEMCP", "437");
    hive.dword(control + "\\TimeZoneInformation", "Bias", 0);
    hive.text(control + "\\TimeZoneInformation", "StandardName", "GMT Standard Time");
    hive.key(control + "\\Print\\Printers");
    hive.key(control + "\\SafeBoot\\Minimal");
    for (const Service& service : kServices) {
        const std::string key = set + "\\Services\\" + service.name;
        hive.dword(key, "Type", service.type);
        hive.dword(key, "Start", service.start);
        hive.dword(key, "ErrorControl", 1);
        hive.value(key, expandable("ImagePath", service.image));
        hive.text(key, "DisplayName", service.displayName);
        if (*service.group) hive.text(key, "Group", service.group);
        if (service.type >= 0x10) hive.text(key, "ObjectName", "LocalSystem");
        if (service.type <= 2) hive.key(set + "\\Enum\\Root\\LEGACY_" + service.name + "\\0000");
    }
}

void writeSystem(HiveAuthor& hive, const DemoContext& demo) {
    hive.dword("Select", "Current", 1).dword("Select", "Default", 1);
    hive.dword("Select", "Failed", 0).dword("Select", "LastKnownGood", 2);
    writeControlSet(hive, demo, "ControlSet001");
    writeControlSet(hive, demo, "ControlSet002");
    hive.value("MountedDevices", binary("\\DosDevices\\C:", {0x3C, 0x8A, 0x1F, 0x5D, 0, 0x7E, 0, 0, 0, 0, 0, 0}));
    hive.dword("Setup", "SystemSetupInProgress", 0);
    hive.dword("Setup", "SetupType", 0);
    hive.dword("Setup", "OsLoaderPath", 0);
    hive.key("DISK");
}

struct FileClass {
    const char* extension;
    const char* progId;
    const char* description;
    const char* command;
};

constexpr FileClass kClasses[] = {
    {".txt", "txtfile", "Text Document", "%SystemRoot%\\system32\\NOTEPAD.EXE %1"},
    {".ini", "inifile", "Configuration Settings", "%SystemRoot%\\system32\\NOTEPAD.EXE %1"},
    {".log", "txtfile", nullptr, nullptr},
    {".bat", "batfile", "MS-DOS Batch File", "\"%1\" %*"},
    {".cmd", "cmdfile", "Windows NT Command Script", "\"%1\" %*"},
    {".exe", "exefile", "Application", "\"%1\" %*"},
    {".com", "comfile", "MS-DOS Application", "\"%1\" %*"},
    {".pif", "piffile", "Shortcut to MS-DOS Program", nullptr},
    {".lnk", "lnkfile", "Shortcut", nullptr},
    {".url", "InternetShortcut", "Internet Shortcut", "rundll32.exe shdocvw.dll,OpenURL %l"},
    {".hlp", "hlpfile", "Help File", "%SystemRoot%\\winhlp32.exe %1"},
    {".chm", "chm.file", "Compiled HTML Help file", "\"%SystemRoot%\\hh.exe\" %1"},
    {".htm", "htmlfile", "HTML Document", "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome"},
    {".html", "htmlfile", nullptr, nullptr},
    {".reg", "regfile", "Registration Entries", "regedit.exe \"%1\""},
    {".zip", "zipfile", "ZIP Archive", nullptr},
    {".bmp", "Paint.Picture", "Bitmap Image", "mspaint.exe \"%1\""},
    {".wav", "SoundRec", "Wave Sound", "sndrec32.exe \"%1\""},
    {".doc", "WordPad.Document.1", "WordPad Document", "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\""},
    {".wri", "wrifile", "Write Document", "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\""},
    {".rtf", "rtffile", "Rich Text Format", "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\""},
    {".cpl", "cplfile", "Control Panel extension", "rundll32.exe shell32.dll,Control_RunDLL \"%1\",%*"},
    {".dll", "dllfile", "Application Extension", nullptr},
    {".sys", "sysfile", "System file", nullptr},
    {".inf", "inffile", "Setup Information", "%SystemRoot%\\system32\\NOTEPAD.EXE %1"},
    {".ttf", "ttffile", "TrueType Font file", nullptr},
};

void writeShellFolders(HiveAuthor& hive, const std::string& key, const std::string& userKey,
                       const std::vector<std::pair<std::string, std::string>>& folders,
                       const std::string& profile, const std::string& profileVariable) {
    for (const auto& [name, path] : folders) {
        hive.text(key, name, path);
        std::string relative = path.rfind(profile, 0) == 0 ? profileVariable + path.substr(profile.size()) : path;
        hive.value(userKey, expandable(name, relative));
    }
}

void writeSoftware(HiveAuthor& hive, const DemoContext& demo) {
    const std::string current = "Microsoft\\Windows NT\\CurrentVersion";
    hive.text(current, "CurrentVersion", demo.nt() ? "4.0" : "5.0");
    hive.text(current, "CurrentBuildNumber", demo.nt() ? "1381" : "2195");
    hive.text(current, "CurrentType", "Uniprocessor Free");
    hive.text(current, "CSDVersion", demo.nt() ? "Service Pack 6" : "Service Pack 4");
    if (!demo.nt()) hive.text(current, "ProductName", "Microsoft Windows 2000");
    hive.text(current, "RegisteredOwner", demo.options.userName);
    hive.text(current, "RegisteredOrganization", "");
    hive.text(current, "SystemRoot", demo.layout.windowsDirectory);
    hive.text(current, "PathName", demo.layout.windowsDirectory);
    hive.text(current, "SoftwareType", "SYSTEM");
    hive.dword(current, "InstallDate", 0x3A5F1C00);
    hive.text(current + "\\Winlogon", "Shell", "Explorer.exe");
    hive.text(current + "\\Winlogon", "Userinit", demo.layout.systemDirectory + "\\userinit.exe,");
    hive.text(current + "\\Winlogon", "DefaultUserName", demo.options.userName);
    hive.text(current + "\\Winlogon", "AutoRestartShell", "1");
    hive.value(current + "\\ProfileList\\" + demo.layout.userSid,
               expandable("ProfileImagePath", demo.nt() ? "%SystemRoot%\\Profiles\\" + demo.options.userName
                                                        : "%SystemDrive%\\Documents and Settings\\" + demo.options.userName));

    const std::string windows = "Microsoft\\Windows\\CurrentVersion";
    hive.text(windows, "ProgramFilesDir", "C:\\Program Files");
    hive.text(windows, "CommonFilesDir", "C:\\Program Files\\Common Files");
    hive.text(windows, "ProductId", "51873-OEM-0017424-00123");
    hive.value(windows, expandable("DevicePath", "%SystemRoot%\\inf"));
    hive.key(windows + "\\Run");
    hive.key(windows + "\\RunOnce");
    hive.text(windows + "\\App Paths\\Brellix", "", demo.layout.programPath);
    hive.text(windows + "\\Uninstall\\Brellix", "DisplayName", "Brellix");
    hive.text(windows + "\\Uninstall\\Brellix", "UninstallString", demo.layout.programDirectory + "\\uninstal.exe");

    const std::string all = demo.layout.allUsersDirectory;
    std::vector<std::pair<std::string, std::string>> common = {
        {"Common Desktop", all + "\\Desktop"},
        {"Common Start Menu", all + "\\Start Menu"},
        {"Common Programs", all + "\\Start Menu\\Programs"},
        {"Common Startup", all + "\\Start Menu\\Programs\\Startup"},
    };
    if (!demo.nt()) {
        common.push_back({"Common Favorites", all + "\\Favorites"});
        common.push_back({"Common Documents", all + "\\Documents"});
        common.push_back({"Common AppData", all + "\\Application Data"});
        common.push_back({"Common Templates", all + "\\Templates"});
    }
    writeShellFolders(hive, "Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", common, all,
                      demo.nt() ? "%SystemRoot%\\Profiles\\All Users" : "%ALLUSERSPROFILE%");

    for (const FileClass& c : kClasses) {
        hive.text(std::string("Classes\\") + c.extension, "", c.progId);
        if (c.description) hive.text(std::string("Classes\\") + c.progId, "", c.description);
        if (c.command)
            hive.value(std::string("Classes\\") + c.progId + "\\shell\\open\\command", expandable("", c.command));
    }
    hive.text("Classes\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", "My Computer");
    hive.text("Classes\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}", "", "Recycle Bin");
    hive.text("Microsoft\\Internet Explorer", "Version", demo.nt() ? "4.72.3110.8" : "5.00.3700.1000");
    hive.key("Policies\\Microsoft");
    hive.key("Program Groups");
}

// What an installer leaves behind when it has run: many keys written and removed again. hivex
// does not reuse the space they took, so the hive keeps its size until it is saved compactly.
void fragment(HiveAuthor& hive) {
    const std::string staging = "Microsoft\\Windows\\CurrentVersion\\Installer\\InProgress";
    for (int group = 0; group < 40; ++group) {
        for (int item = 0; item < 40; ++item) {
            const std::string key = staging + "\\Group" + std::to_string(group) + "\\Component" + std::to_string(item);
            hive.text(key, "Path", "C:\\Program Files\\Common Files\\Setup\\file" + std::to_string(item) + ".dll");
            hive.dword(key, "Size", static_cast<std::uint32_t>(group * 1000 + item));
        }
    }
    hive.remove(staging);
}

void writeSam(HiveAuthor& hive, const DemoContext& demo) {
    const std::vector<std::uint8_t> fixed(80, 0x01);
    hive.value("SAM\\Domains\\Account", binary("F", fixed));
    hive.value("SAM\\Domains\\Account", binary("V", std::vector<std::uint8_t>(48, 0x02)));
    struct Account {
        std::string name;
        std::uint32_t rid;
    };
    std::vector<Account> accounts = {{"Administrator", 0x1F4}, {"Guest", 0x1F5}};
    if (demo.options.userName != "Administrator") accounts.push_back({demo.options.userName, 0x3E8});
    for (const Account& account : accounts) {
        char rid[16];
        std::snprintf(rid, sizeof rid, "%08X", account.rid);
        hive.value(std::string("SAM\\Domains\\Account\\Users\\") + rid, binary("F", fixed));
        hive.value(std::string("SAM\\Domains\\Account\\Users\\") + rid, binary("V", std::vector<std::uint8_t>(204, 0x03)));
        hive.value("SAM\\Domains\\Account\\Users\\Names\\" + account.name, binary("", {}, account.rid));
    }
    hive.value("SAM\\Domains\\Builtin\\Aliases\\00000220", binary("C", std::vector<std::uint8_t>(64, 0x04)));
    hive.value("SAM\\Domains\\Builtin\\Aliases\\Names\\Administrators", binary("", {}, 0x220));
    hive.value("SAM\\RXACT", binary("", std::vector<std::uint8_t>(12, 0)));
}

void writeSecurity(HiveAuthor& hive, const DemoContext& demo) {
    hive.value("Policy\\PolAdtEv", binary("", std::vector<std::uint8_t>(36, 0)));
    hive.value("Policy\\PolPrDmN", binary("", std::vector<std::uint8_t>(20, 0)));
    hive.value("Policy\\PolAcDmN", binary("", std::vector<std::uint8_t>(32, 0)));
    hive.key("Policy\\Secrets\\$MACHINE.ACC\\CurrVal");
    hive.key("Policy\\Accounts\\S-1-5-32-544\\Privilgs");
    hive.value("RXACT", binary("", std::vector<std::uint8_t>(12, 0)));
    if (!demo.nt()) hive.dword("Cache", "NL$Control", 10);
}

void writeUserBasics(HiveAuthor& hive, const std::string& temp) {
    hive.text("Control Panel\\Desktop", "Wallpaper", "(None)");
    hive.text("Control Panel\\Desktop", "ScreenSaveActive", "1");
    hive.text("Control Panel\\Desktop", "ScreenSaveTimeOut", "900");
    hive.text("Control Panel\\International", "Locale", "00000409");
    hive.text("Control Panel\\International", "sShortDate", "M/d/yyyy");
    hive.text("Control Panel\\International", "sTimeFormat", "h:mm:ss tt");
    hive.text("Keyboard Layout\\Preload", "1", "00000409");
    hive.value("Environment", expandable("TEMP", temp));
    hive.value("Environment", expandable("TMP", temp));
    hive.dword("Console", "ScreenColors", 7);
    hive.key("Printers");
    hive.key("Network");
    hive.key("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

void writeUser(HiveAuthor& hive, const DemoContext& demo) {
    const std::string& profile = demo.layout.profileDirectory;
    writeUserBasics(hive, demo.nt() ? "%SystemDrive%\\TEMP" : "%USERPROFILE%\\Local Settings\\Temp");
    const std::vector<std::pair<std::string, std::string>> folders = {
        {"Desktop", profile + "\\Desktop"},
        {"Favorites", profile + "\\Favorites"},
        {"Start Menu", profile + "\\Start Menu"},
        {"Programs", profile + "\\Start Menu\\Programs"},
        {"Startup", profile + "\\Start Menu\\Programs\\Startup"},
        {"SendTo", profile + "\\SendTo"},
        {"Recent", profile + "\\Recent"},
        {"NetHood", profile + "\\NetHood"},
        {"PrintHood", profile + "\\PrintHood"},
        {"AppData", profile + "\\Application Data"},
        {"Templates", profile + "\\Templates"},
        {"Personal", profile + "\\My Documents"},
        {"Cache", profile + (demo.nt() ? "\\Temporary Internet Files" : "\\Local Settings\\Temporary Internet Files")},
    };
    writeShellFolders(hive, kShellFolders, kUserShellFolders, folders, profile, "%USERPROFILE%");
    const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    hive.text(explorer + "\\RunMRU", "a", "notepad\\1");
    hive.text(explorer + "\\RunMRU", "MRUList", "a");
    hive.text("Software\\Microsoft\\Internet Explorer\\Main", "Start Page", "about:blank");
    hive.dword("Software\\Microsoft\\Notepad", "fWrap", 1);
    hive.text("Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device", "");
}

void writeDefaultUser(HiveAuthor& hive, const DemoContext& demo) {
    writeUserBasics(hive, "%SystemRoot%\\TEMP");
    const std::string profile = demo.nt() ? demo.layout.windowsDirectory + "\\Profiles\\Default User"
                                          : "C:\\Documents and Settings\\Default User";
    writeShellFolders(hive, kShellFolders, kUserShellFolders,
                      {{"Desktop", profile + "\\Desktop"}, {"AppData", profile + "\\Application Data"}}, profile,
                      "%USERPROFILE%");
}

void writeUserClasses(HiveAuthor& hive, const DemoContext&) {
    hive.text(".brxnote", "", "brxnotefile");
    hive.text("brxnotefile", "", "Note");
    hive.value("brxnotefile\\shell\\open\\command", expandable("", "%SystemRoot%\\system32\\NOTEPAD.EXE %1"));
    hive.text("CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}", "", "My Documents");
    hive.key("Local Settings\\Software\\Microsoft");
}

bool sameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The rest of `key` after `prefix` (compared without regard to case); empty when it does not
// start with it.
std::string afterPrefix(const std::string& key, const std::string& prefix) {
    if (key.size() <= prefix.size() || !sameText(key.substr(0, prefix.size()), prefix)) return {};
    return key.substr(prefix.size());
}

void writeHive(const std::string& key, const std::string& file, const DemoContext& demo) {
    HiveAuthor hive(demo.rootName());
    const std::string machine = afterPrefix(key, "\\REGISTRY\\MACHINE\\");
    const std::string user = afterPrefix(key, "\\REGISTRY\\USER\\");
    const std::string& sid = demo.layout.userSid;
    if (sameText(machine, "SYSTEM")) {
        writeSystem(hive, demo);
    } else if (sameText(machine, "SOFTWARE")) {
        writeSoftware(hive, demo);
        fragment(hive);
    } else if (sameText(machine, "SAM")) {
        writeSam(hive, demo);
    } else if (sameText(machine, "SECURITY")) {
        writeSecurity(hive, demo);
    } else if (sameText(user, ".DEFAULT")) {
        writeDefaultUser(hive, demo);
    } else if (sameText(user, sid)) {
        writeUser(hive, demo);
    } else if (sameText(user, sid + "_Classes")) {
        writeUserClasses(hive, demo);
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
    hive.save(file);
}

}  // namespace

void writeDemoHives(HostedPlatform& machine, const MachineOptions& options) {
    DemoContext demo{options, machineLayout(machine.machineDir(), options)};
    demo.layout.userSid = machine.machine().userSid;
    for (const auto& [key, device] : machine.machine().hives) {
        if (device.empty()) continue;
        const auto file = machine.hostedFiles().hostPathOfDevicePath(device);
        if (!file) throw std::runtime_error("No drive holds the hive " + key + " (" + device + ")");
        try {
            writeHive(key, *file, demo);
        } catch (const regf::HiveError& error) {
            throw std::runtime_error("Cannot write the hive " + key + ": " + error.what());
        }
    }
}

}  // namespace brx::platform::hosted
