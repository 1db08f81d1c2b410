#include "support/CoreMachine.h"

#include <chrono>

namespace brx::core::test {

namespace {

// A fixed day, so that due dates cross month and year ends the same way on every run.
constexpr platform::LocalTime kToday{.year = 2026, .month = 3, .day = 5, .hour = 9};

platform::hosted::MachineOptions OptionsFor(const editions::Edition& edition)
{
    auto options = brx::test::testMachineOptions(edition.IsNT()
                                                     ? platform::hosted::WindowsEdition::WindowsNT
                                                     : platform::hosted::WindowsEdition::Windows2000);
    options.withCdRom = false;
    options.today = kToday;
    return options;
}

}  // namespace

platform::hosted::HostedPlatform& CoreMachine::Open(CoreMachine& self,
                                                    const editions::Edition& edition,
                                                    const std::string& root)
{
    if (root.empty()) {
        self.m_created = std::make_unique<brx::test::TestMachine>(OptionsFor(edition));
        self.m_root = self.m_created->dir();
        self.m_platform = &self.m_created->hosted();
        const auto& layout = self.m_created->layout();
        self.m_platform->files().deleteFile(layout.programDirectory + "\\brxset.ini");
        self.m_platform->profile().write(layout.programDirectory + "\\brxset.ini",
                                         "DefaultDirectories", "StartUp",
                                         layout.profileDirectory + "\\Start Menu\\Programs\\Startup\\");
    } else {
        self.m_reopened = platform::hosted::openMachine(root);
        self.m_root = root;
        self.m_platform = self.m_reopened.get();
    }
    return *self.m_platform;
}

CoreMachine::CoreMachine(const editions::Edition& edition)
    : CoreMachine(edition, std::string())
{
}

CoreMachine::CoreMachine(const editions::Edition& edition, const std::string& root)
    : ui()
    , program(Open(*this, edition, root), edition, ui)
    , runs(program)
    , startup(program, runs)
{
}

CoreMachine::~CoreMachine() = default;

void CoreMachine::Ini(const std::string& section, const std::string& key, const std::string& value)
{
    program.Settings().File().WriteString(section, key, value);
}

std::optional<std::string> CoreMachine::IniValue(const std::string& section, const std::string& key)
{
    return program.Settings().File().Read(section, key);
}

std::vector<std::string> CoreMachine::IniKeys(const std::string& section)
{
    return program.Settings().File().Keys(section);
}

void CoreMachine::WriteFile(const std::string& path, const std::string& content)
{
    // Parent folders first, as a user copying the file there would have them.
    for (auto slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        m_platform->files().createDirectory(path.substr(0, slash));
    auto file = m_platform->files().open(path, platform::OpenMode::Write);
    if (!file.file || !file.file.write(content.data(), content.size()))
        throw std::runtime_error("cannot write " + path);
}

std::string CoreMachine::ReadFile(const std::string& path)
{
    auto file = m_platform->files().open(path, platform::OpenMode::Read);
    if (!file.file) throw std::runtime_error("cannot read " + path);
    std::string content;
    char buffer[4096];
    for (std::size_t got; (got = file.file.read(buffer, sizeof buffer)) > 0;) content.append(buffer, got);
    return content;
}

bool CoreMachine::Exists(const std::string& path)
{
    return m_platform->files().exists(path);
}

platform::LocalTime CoreMachine::DaysAgo(int days)
{
    using namespace std::chrono;
    const platform::LocalTime now = m_platform->system().now();
    const sys_days today = year_month_day{year{now.year}, month{static_cast<unsigned>(now.month)},
                                          day{static_cast<unsigned>(now.day)}};
    const year_month_day then{today - std::chrono::days{days}};
    platform::LocalTime result;
    result.year = static_cast<int>(then.year());
    result.month = static_cast<int>(static_cast<unsigned>(then.month()));
    result.day = static_cast<int>(static_cast<unsigned>(then.day()));
    return result;
}

}  // namespace brx::core::test
