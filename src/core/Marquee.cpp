#include "core/Marquee.h"

#include <array>
#include <cstdint>
#include <vector>

#include "core/Error.h"
#include "core/Program.h"
#include "registry/HiveSave.h"
#include "registry/WinPath.h"

namespace brx::core {

using namespace brx::platform;

namespace {

constexpr const char* kDorAdurArchive = "registry.zzz";
constexpr std::array<const char*, 5> kMachineHives = {"system", "software", "sam", "security", "default"};

struct TipText {
    const char* common;
    const char* nt;   // null when both editions say the same
};

// The tips, one per day of the month.
constexpr std::array<TipText, 31> kTips = {{
    {"The registry of Win2000 cannot be backed up or restored within Win2000 without a program like Brellix 2000.",
     "The registry of WinNT cannot be backed up or restored within WinNT without a program like Brellix NT."},
    {"See Windows TroubleShooters on the Help tab for help with Windows problems", nullptr},
    {"To restore all files in a Backup, use the Dazur Edozi.", nullptr},
    {"To back up to different drives, different files, or at different intervals make a new config.  Four different configs may be used.", nullptr},
    {"To back up automatically at start up, see the Automation tab of Brellix Preferences.", nullptr},
    {"Brellix comes with a DOS version, brxdos2k.exe, that will restore Windows if you cannot get into Safe Mode.  It is located in C:\\ and in the Brellix directory.", nullptr},
    {"In order for Win2000 to boot up properly, certain files must be in the boot drive.  If these files are accidently deleted, the Boot Disk made by Brellix can be used to start Win2000.  To restore these files Restore the WinConfig files.",
     "In order for WinNT to boot up properly, certain files must be in the boot drive.  If these files are accidently deleted, the Boot Disk made by Brellix can be used to start WinNT.  To restore these files Restore the WinConfig files."},
    {"A NTFS partition cannot be accessed from another system, like, Win95 or DOS.", nullptr},
    {"Brellix is one of the oldest and best Windows Recovery Utilites.", nullptr},
    {"It is a good idea to keep the four Win2000 Setup diskettes, and a Boot Disk.",
     "It is a good idea to keep the three WinNT Setup diskettes, and a Boot Disk."},
    {"Ntbootdd.sys and bootfont.bin (for nonEnglish languages) do not always exist with Windows, so if you get a File not found error, please uncheck them from the list.", nullptr},
    {"Our website contains the latest available version.  When installing a newer version, it is best not to uninstall the previous version.  Just install the newer version to the same directory as the previous version.", nullptr},
    {"To restore a few files or files in the OtherFiles section, use the Extractor.", nullptr},
    {"The Backup and Restore Wizards provide step-by-step instructions for completing Backup or Dazur Edozi.", nullptr},
    {"Our website lists the other utilities we make for keeping Windows healthy.  Have a look the next time you are online.", nullptr},
    {"If installing a program messes up Windows, use Brellix to restore Windows to the way it was before you installed that program.", nullptr},
    {"You must have Administrator privileges to Backup and Restore the registry.", nullptr},
    {"Help has instructions on how to restore Windows manually.  It is a good idea to print those instructions and keep them for an emergency.", nullptr},
    {"Brellix was written by someone who lost a working Windows once too often.  Every feature in it comes from a real rescue.", nullptr},
    {"AT or MsTask can be used to run Brellix automatically at a certain time (see Help).", nullptr},
    {"We do not recommend reformatting the hard drive.  It can take days to get things back the way that they were and the benefits are minimal.", nullptr},
    {"Back up any or all files on a harddrive by using the Other Files tab of Backup Properties.", nullptr},
    {"If you have a problem with Brellix, please send an email to me explaining the problem, so that I can fix it.", nullptr},
    {"Brellix Backups are standard zip files that can be unzipped by Brellix or any other zip extractor.", nullptr},
    {"Brellix 2000 does not backup multiple users.  To backup the registry of other users that are not using the computer, backup the ntuser.dat file in their Documents and Settings directory.",
     "Brellix NT does not backup multiple users.  To backup the registry of other users that are not using the computer, backup the ntuser.dat file in their Documents and Settings\\ directory."},
    {"Brellix is updated frequently.  Please check our website for the latest version.", nullptr},
    {"DorAdur of Brellix 2000 works a little different than DorAdur of Brellix 95 and Brellix 98.  It is much faster.",
     "If you use Registry Cleaners, like RegClean, it is a good idea to run DorAdur after cleaning."},
    {"Press the F8 button while the computer is starting to start in DOS or Safe Mode.", nullptr},
    {"There is a Brellix for every version of Windows.  Our website tells you which one fits each of your computers.", nullptr},
    {"When Windows crashes, first try to start Windows in Safe Mode and run the regular version of Brellix.  If Safe Mode does not work, restore from another system, like, Win95 or DOS, or use the Win2000 Setup diskettes and the Boot Disk.",
     "When Windows crashes, first try to start Windows in Safe Mode and run the regular version of Brellix.  If Safe Mode does not work, restore from another system, like, Win95 or DOS, or use the WinNT Setup diskettes and the Boot Disk."},
    {"If nothing else helps and Windows must be reinstalled, our website has a page that takes you through it step by step.", nullptr},
}};

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DayNumber(int year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - static_cast<int>(era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::string Pad(int value, std::size_t width)
{
    std::string text = std::to_string(value);
    while (text.size() < width) text.insert(text.begin(), '0');
    return text;
}

class MarqueeBuilder {
public:
    explicit MarqueeBuilder(MarqueeSite& site)
        : m_site(site), m_files(site.platform.files()), m_profile(site.platform.profile()),
          m_today(site.platform.system().now()), m_archive(site.windowsDirectory + kDorAdurArchive)
    {
    }

    std::string Build()
    {
        const bool justDone = ReadFlag("DorAdur", "JustDone");
        if (justDone) CompleteDorAdur();
        const std::uint64_t archived = ArchivedHiveTotal();
        const std::uint64_t live = HiveTotal(m_site.windowsDirectory + "System32\\config\\");
        if (justDone) {
            m_profile.write(m_site.settingsFile, "DorAdur", "JustDone", "0");
            m_profile.write(m_site.settingsFile, "DorAdur", "LastReduction",
                            std::to_string(ReductionKb(live)));
        }
        const long long reduction = ReadInt("DorAdur", "LastReduction");

        return BackupSegment() + ConfigSegment() + "   " + MarqueeTip(m_today.day, m_site.ntEdition) +
               "   " + DorAdurSegment(archived, live, reduction) +
               "   Please tell your friends about Brellix.   ";
    }

private:
    std::string Read(const std::string& section, const std::string& key, const std::string& fallback)
    {
        return m_profile.readString(m_site.settingsFile, section, key, fallback);
    }
    long long ReadInt(const std::string& section, const std::string& key)
    {
        return parseProfileInt(Read(section, key, "0"), 0);
    }
    bool ReadFlag(const std::string& section, const std::string& key)
    {
        return ReadInt(section, key) != 0;
    }

    // The restart has installed the compact hives; what the Redo directory still holds (the
    // index and anything not yet taken) joins the archive, which is then dated by its content.
    void CompleteDorAdur()
    {
        zip::ZipEngine& engine = m_site.engine;
        const std::string leftover = m_site.programDirectory + "Redo";
        const std::string redo = m_files.isDirectory(leftover)
                                     ? leftover
                                     : registry::RedoDirectory(m_site.windowsDirectory);
        const std::vector<std::string> exclusions = engine.ExcludeList;
        // The Windows directory is on a fixed disk: the archive is updated in place, never
        // spanned.
        const zip::TMultiMode mode = engine.MultiZipInfo.MultiMode;
        if (mode == zip::mmSpan) engine.MultiZipInfo.MultiMode = zip::mmNone;
        struct RestoreMode {
            zip::ZipEngine& engine;
            zip::TMultiMode mode;
            ~RestoreMode() { engine.MultiZipInfo.MultiMode = mode; }
        } restoreMode{engine, mode};
        try {
            engine.ExcludeList.push_back("*.log");
            engine.SetZipName(m_archive);
            engine.FilesList = {redo + "\\*"};
            engine.Recurse = false;
            engine.WriteArchive();
            engine.ExcludeList = exclusions;
            engine.CloseArchive();
            engine.SetZipName(m_archive);
            engine.ReadDirectory();
            if (engine.EntryCount() > 0)
                m_files.setFileTime(m_archive, m_site.platform.system().fromLocal(engine.EntryDateTime(0)));
            engine.CloseArchive();
        } catch (const std::exception&) {
            // The step is tried once: the marquee still reports what there is.
            engine.ExcludeList = exclusions;
            engine.CloseArchive();
        }
    }

    std::uint64_t HiveTotal(const std::string& directory)
    {
        std::uint64_t total = 0;
        for (const char* hive : kMachineHives)
            if (auto info = m_files.stat(directory + hive)) total += info->size;
        return total;
    }

    std::uint64_t ArchivedHiveTotal()
    {
        if (!m_files.exists(m_archive)) return 0;
        zip::ZipEngine& engine = m_site.engine;
        std::uint64_t total = 0;
        try {
            engine.SetZipName(m_archive);
            engine.ReadDirectory();
            for (int i = 0; i < engine.EntryCount(); ++i)
                for (const char* hive : kMachineHives)
                    if (registry::EqualNoCase(engine.EntryFileName(i), hive))
                        total += engine.EntryUncompressedSize(i);
            engine.CloseArchive();
        } catch (const std::exception&) {
            engine.CloseArchive();
        }
        return total;
    }

    // The hives the restart replaced sit in Undo; the live ones are the compact copies.
    long long ReductionKb(std::uint64_t live)
    {
        const std::uint64_t before = HiveTotal(registry::UndoDirectory(m_site.windowsDirectory) + "\\");
        if (before == 0 || live == 0) return 0;
        return (static_cast<long long>(before) - static_cast<long long>(live)) / 1024;
    }

    std::string DateText(int year, int month, int day)
    {
        return FormatShortDate(m_site.dateFormat, year, month, day) + " (" +
               DateAge(m_today, year, month, day) + ")";
    }

    std::string BackupSegment()
    {
        const int year = static_cast<int>(ReadInt("Last Backup", "Year"));
        if (year == 0) return "Welcome to Brellix";
        return "Last Backup made on " +
               DateText(year, static_cast<int>(ReadInt("Last Backup", "Month")),
                        static_cast<int>(ReadInt("Last Backup", "Day")));
    }

    std::string ConfigSegment()
    {
        std::string text;
        for (int n = 1; n <= 4; ++n) {
            const std::string section = "BackupPreferences" + std::to_string(n);
            const int year = static_cast<int>(ReadInt(section, "LastYear"));
            if (year == 0) continue;
            text += " - " + Read(section, "ConfigName", "Config" + std::to_string(n)) + ": " +
                    DateText(year, static_cast<int>(ReadInt(section, "LastMonth")),
                             static_cast<int>(ReadInt(section, "LastDay")));
        }
        return text + ".";
    }

    std::string DorAdurSegment(std::uint64_t archived, std::uint64_t live, long long reduction)
    {
        const auto archive = m_files.stat(m_archive);
        if (!archive)
            return "DorAdur will rearrange the registry making it smaller and faster.  If you install "
                   "and uninstall many programs, we suggest that you perform DorAdur once a month, "
                   "otherwise you should DorAdur at least once a year.";
        const LocalTime date = m_site.platform.system().toLocal(archive->modified);
        std::string text = "The last DorAdur was done on " + DateText(date.year, date.month, date.day);
        text += reduction != 0 ? " and reduced the registry by " + std::to_string(reduction) + "kb." : ".";
        if (archived != 0 && live != 0) {
            const long long grown = (static_cast<long long>(live) - static_cast<long long>(archived)) / 1024;
            if (grown > 0) text += "  Since then the registry has grown " + std::to_string(grown) + "kb.";
        }
        return text;
    }

    MarqueeSite& m_site;
    Files& m_files;
    Profile& m_profile;
    const LocalTime m_today;
    const std::string m_archive;
};

}  // namespace

std::string MarqueeTip(int day, bool ntEdition)
{
    if (day < 1 || day > 31) return {};
    const TipText& tip = kTips[static_cast<std::size_t>(day - 1)];
    return ntEdition && tip.nt ? tip.nt : tip.common;
}

std::string DateAge(const LocalTime& today, int year, int month, int day)
{
    const std::int64_t days = DayNumber(today.year, today.month, today.day) - DayNumber(year, month, day);
    if (days == 0) return "Today";
    if (days == 1) return "1 day ago";
    return std::to_string(days) + " days ago";
}

std::string FormatShortDate(const std::string& format, int year, int month, int day)
{
    std::string text;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        std::size_t run = 1;
        while (i + run < format.size() && format[i + run] == c) ++run;
        if (c == 'd')
            text += run >= 2 ? Pad(day, 2) : std::to_string(day);
        else if (c == 'M')
            text += run >= 2 ? Pad(month, 2) : std::to_string(month);
        else if (c == 'y')
            text += run >= 3 ? Pad(year, 4) : Pad(year % 100, 2);
        else
            text.append(run, c);
        i += run;
    }
    return text;
}

std::string GetMarqueeText(MarqueeSite& site)
{
    return MarqueeBuilder(site).Build();
}

}  // namespace brx::core

namespace brx::core {

std::string GetMarqueeText(Program& program)
{
    if (program.Zip() == nullptr) throw Error(ErrorKind::General, "The archive engine is not available.");
    // An earlier run may have left the engine's events pointing at objects that are gone.
    program.Zip()->OnTotalPercentDone = nullptr;
    program.Zip()->OnGetNextDisk = nullptr;
    program.Zip()->OnInCompleteZip = nullptr;
    program.Zip()->OnPump = [&program] { program.ui.Pump(); };
    MarqueeSite site{program.platform,
                     *program.Zip(),
                     program.paths.windowsDirectory,
                     program.paths.programDirectory,
                     program.paths.settingsFile,
                     program.settings.dateFormat,
                     program.edition.IsNT()};
    return GetMarqueeText(site);
}

}  // namespace brx::core
