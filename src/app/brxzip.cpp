#include "app/brxzip.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

#include "zip/ZipEngine.h"

namespace brx::app {

namespace {

const char* const kUsage =
    "usage: brxzip [--machine DIR] a [-0..-9] [-r] [-P PASSWORD] [-b BLOCKBYTES] [-x MASK]... ARCHIVE PATH...\n"
    "       brxzip [--machine DIR] l ARCHIVE\n"
    "       brxzip [--machine DIR] t [-P PASSWORD] ARCHIVE\n"
    "       brxzip [--machine DIR] x [-P PASSWORD] [-j] [-d DIR] ARCHIVE [MASK...]\n";

struct Options {
    std::string command;
    int level = 6;
    bool recurse = false;
    bool junkPaths = false;
    std::string password;
    std::uint64_t blockBytes = 0;
    std::vector<std::string> excludes;
    std::string destination;
    std::vector<std::string> operands;
};

struct UsageError {
    std::string text;
};

class Command {
public:
    Command(platform::Platform& platform, bool hostMode, std::ostream& out, std::ostream& err)
        : m_platform(platform), m_engine(platform), m_hostMode(hostMode), m_out(out), m_err(err)
    {
        m_engine.UseProgramSettings();
        m_engine.MultiZipInfo.MultiMode = zip::mmNone;
        m_engine.IncompleteZipMode = zip::izAssumeBad;
    }

    int run(const Options& options)
    {
        if (options.command == "a")
            return add(options);
        if (options.command == "l")
            return list(options);
        if (options.command == "t")
            return test(options);
        return extract(options);
    }

private:
    // A host path as the machine of the host root sees it: "/home/a b" is "Z:\home\a b".
    std::string windowsPath(const std::string& path) const
    {
        if (!m_hostMode)
            return path;
        std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
        if (absolute.size() > 1 && absolute.back() == '/')
            absolute.pop_back();
        for (char& c : absolute)
            if (c == '/')
                c = '\\';
        return "Z:" + absolute;
    }

    std::string maskPath(const std::string& mask) const
    {
        return mask.find('/') != std::string::npos ? windowsPath(mask) : mask;
    }

    int add(const Options& options)
    {
        if (options.operands.size() < 2)
            throw UsageError{"a needs an archive and at least one path"};
        m_engine.SetZipName(windowsPath(options.operands[0]));
        m_engine.PackLevel = options.level;
        m_engine.Password = options.password;
        if (options.blockBytes > 0) {
            m_engine.MultiZipInfo.MultiMode = zip::mmBlocks;
            m_engine.MultiZipInfo.BlockSize = static_cast<std::uint32_t>(options.blockBytes);
            m_engine.MultiZipInfo.FirstBlockSize = static_cast<std::uint32_t>(options.blockBytes);
        }
        for (const auto& mask : options.excludes)
            m_engine.ExcludeList.push_back(maskPath(mask));
        for (auto it = options.operands.begin() + 1; it != options.operands.end(); ++it) {
            const std::string path = windowsPath(*it);
            if (m_platform.files().isDirectory(path))
                m_engine.FilesList.push_back((options.recurse ? ">" : "|") + path + "\\*.*");
            else
                m_engine.FilesList.push_back(path);
        }
        const int added = m_engine.WriteArchive();
        reportSkipped();
        m_out << added << " files added to " << m_engine.ZipName() << "\n";
        return 0;
    }

    std::string storedName(int index) const
    {
        std::string name = m_engine.EntryPathName(index) + m_engine.EntryFileName(index);
        for (char& c : name)
            if (c == '\\')
                c = '/';
        return name;
    }

    int list(const Options& options)
    {
        if (options.operands.size() != 1)
            throw UsageError{"l needs one archive"};
        m_engine.SetZipName(windowsPath(options.operands[0]));
        m_engine.ReadDirectory();
        char line[64];
        for (int i = 0; i < m_engine.EntryCount(); ++i) {
            const auto t = m_engine.EntryDateTime(i);
            std::snprintf(line, sizeof line, "%10llu  %04d-%02d-%02d %02d:%02d  ",
                          static_cast<unsigned long long>(m_engine.EntryUncompressedSize(i)), t.year, t.month,
                          t.day, t.hour, t.minute);
            m_out << line << storedName(i) << "\n";
        }
        return 0;
    }

    int test(const Options& options)
    {
        if (options.operands.size() != 1)
            throw UsageError{"t needs one archive"};
        m_engine.SetZipName(windowsPath(options.operands[0]));
        m_engine.Password = options.password;
        const bool good = m_engine.TestArchive();
        reportSkipped();
        if (good) {
            m_out << "No errors detected in " << m_engine.EntryCount() << " entries\n";
            return 0;
        }
        m_err << "Errors detected in the archive\n";
        return 1;
    }

    int extract(const Options& options)
    {
        if (options.operands.empty())
            throw UsageError{"x needs an archive"};
        m_engine.SetZipName(windowsPath(options.operands[0]));
        m_engine.Password = options.password;
        m_engine.RecreateDirs = !options.junkPaths;
        if (!options.destination.empty())
            m_engine.SetDestDir(windowsPath(options.destination));
        else if (m_hostMode)
            m_engine.SetDestDir(windowsPath("."));
        m_engine.DoAll = options.operands.size() == 1;
        for (auto it = options.operands.begin() + 1; it != options.operands.end(); ++it)
            m_engine.FilesList.push_back(maskPath(*it));
        m_engine.ReadDirectory();
        const int count = m_engine.ExtractEntries();
        reportSkipped();
        m_out << count << " files extracted\n";
        return m_engine.Skipped().empty() ? 0 : 1;
    }

    void reportSkipped()
    {
        for (const auto& line : m_engine.Skipped())
            m_err << line << "\n";
    }

    platform::Platform& m_platform;
    zip::ZipEngine m_engine;
    bool m_hostMode;
    std::ostream& m_out;
    std::ostream& m_err;
};

std::string takeValue(const std::vector<std::string>& args, std::size_t& i)
{
    if (i + 1 >= args.size())
        throw UsageError{args[i] + " needs a value"};
    return args[++i];
}

Options parse(const std::vector<std::string>& args)
{
    Options options;
    if (args.empty())
        throw UsageError{"no command"};
    options.command = args[0];
    if (options.command != "a" && options.command != "l" && options.command != "t" && options.command != "x")
        throw UsageError{"unknown command " + options.command};
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.operands.push_back(arg);
            continue;
        }
        if (arg == "--")
            optionsEnded = true;
        else if (arg.size() == 2 && arg[1] >= '0' && arg[1] <= '9' && options.command == "a")
            options.level = arg[1] - '0';
        else if (arg == "-r" && options.command == "a")
            options.recurse = true;
        else if (arg == "-P")
            options.password = takeValue(args, i);
        else if (arg == "-b" && options.command == "a")
            options.blockBytes = std::stoull(takeValue(args, i));
        else if (arg == "-x" && options.command == "a")
            options.excludes.push_back(takeValue(args, i));
        else if (arg == "-j" && options.command == "x")
            options.junkPaths = true;
        else if (arg == "-d" && options.command == "x")
            options.destination = takeValue(args, i);
        else
            throw UsageError{"unknown option " + arg};
    }
    return options;
}

}  // namespace

int RunBrxzip(platform::Platform& platform, bool hostMode, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err)
{
    try {
        const Options options = parse(arguments);
        Command command(platform, hostMode, out, err);
        return command.run(options);
    } catch (const UsageError& error) {
        err << "brxzip: " << error.text << "\n" << kUsage;
        return 2;
    } catch (const zip::ZipError& error) {
        err << error.what() << "\n";
        return 1;
    } catch (const std::invalid_argument&) {
        err << "brxzip: a number was expected\n" << kUsage;
        return 2;
    }
}

}  // namespace brx::app
