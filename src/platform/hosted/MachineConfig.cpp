#include "platform/hosted/MachineConfig.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Profile.h"
#include "platform/hosted/IniText.h"

namespace brx::platform::hosted {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, ',')) fields.push_back(trimBlanks(field));
    return fields;
}

std::optional<DriveType> parseDriveType(const std::string& word) {
    static const std::pair<const char*, DriveType> kTypes[] = {
        {"fixed", DriveType::Fixed},     {"removable", DriveType::Removable},
        {"cdrom", DriveType::CdRom},     {"remote", DriveType::Remote},
        {"ramdisk", DriveType::RamDisk},
    };
    for (const auto& [name, type] : kTypes)
        if (equalsNoCase(word, name)) return type;
    return std::nullopt;
}

bool isDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string absoluteHostDir(const std::string& machineDir, const std::string& dir) {
    fs::path path(dir);
    if (path.is_relative()) path = fs::path(machineDir) / path;
    std::string result = path.lexically_normal().string();
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

[[noreturn]] void fail(const std::string& file, const std::string& what) {
    throw std::runtime_error(file + ": " + what);
}

// "C=fixed,C,WIN2000" / "A=removable,A,1457664[,LABEL]" / "D=cdrom,D,LABEL"
DriveConfig parseDrive(const std::string& file, const std::string& machineDir,
                       const std::string& key, const std::string& value) {
    if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0])))
        fail(file, "[Drives] key \"" + key + "\" is not a drive letter");
    auto fields = splitFields(value);
    if (fields.size() < 2) fail(file, "drive " + key + " needs a type and a host directory");
    auto type = parseDriveType(fields[0]);
    if (!type) fail(file, "drive " + key + " has an unknown type \"" + fields[0] + "\"");

    DriveConfig drive;
    drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    drive.type = *type;
    drive.hostDir = absoluteHostDir(machineDir, fields[1]);
    for (std::size_t i = 2; i < fields.size(); ++i) {
        if (isDigits(fields[i]) && !drive.capacity)
            drive.capacity = std::stoull(fields[i]);
        else
            drive.label = fields[i];
    }
    // A stable serial number per machine and letter, as a formatted volume would have.
    drive.serial = static_cast<std::uint32_t>(std::hash<std::string>{}(drive.hostDir)) ^
                   (static_cast<std::uint32_t>(drive.letter) << 24);
    return drive;
}

}  // namespace

std::optional<std::string> readHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

std::optional<LocalTime> parseMachineDate(const std::string& text) {
    LocalTime time;
    int consumed = 0;
    const std::string trimmed = trimBlanks(text);
    int fields =
        std::sscanf(trimmed.c_str(), "%d-%d-%d%n %d:%d:%d%n", &time.year, &time.month, &time.day,
                    &consumed, &time.hour, &time.minute, &time.second, &consumed);
    if ((fields != 3 && fields != 6) || static_cast<std::size_t>(consumed) != trimmed.size())
        return std::nullopt;
    static const int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > kDaysInMonth[time.month - 1] || time.hour < 0 || time.hour > 23 ||
        time.minute < 0 || time.minute > 59 || time.second < 0 || time.second > 59 ||
        time.year < 1601 || time.year > 9999)
        return std::nullopt;
    const bool leap = (time.year % 4 == 0 && time.year % 100 != 0) || time.year % 400 == 0;
    if (time.month == 2 && time.day == 29 && !leap) return std::nullopt;
    return time;
}

MachineConfig loadMachineConfig(const std::string& machineDir) {
    MachineConfig config;
    config.machineDir = absoluteHostDir(fs::current_path().string(), machineDir);
    const std::string file = config.machineDir + "/" + kMachineIniName;
    auto text = readHostFile(file);
    if (!text) fail(file, "cannot be read (is this a machine directory?)");
    const IniText ini = IniText::parse(*text);

    auto machineValue = [&](const char* key, std::string& target) {
        if (auto value = ini.value("Machine", key)) target = unquote(*value);
    };
    machineValue("WindowsDirectory", config.windowsDirectory);
    machineValue("SystemDirectory", config.systemDirectory);
    machineValue("UserName", config.userName);
    machineValue("UserSid", config.userSid);
    machineValue("ComputerName", config.computerName);
    machineValue("ProgramPath", config.programPath);
    machineValue("ShortDateFormat", config.shortDateFormat);
    machineValue("Viewer", config.viewer);
    if (auto value = ini.value("Machine", "SafeMode")) config.safeMode = parseProfileInt(*value, 0);
    if (auto value = ini.value("Machine", "Today"); value && !value->empty()) {
        config.today = parseMachineDate(*value);
        if (!config.today) fail(file, "[Machine] Today \"" + *value + "\" is not a date");
    }
    if (config.systemDirectory.empty())
        config.systemDirectory = config.windowsDirectory + "\\System32";

    for (const auto& [key, value] : ini.entries("Drives")) {
        DriveConfig drive = parseDrive(file, config.machineDir, key, unquote(value));
        config.drives[drive.letter] = drive;
    }
    if (config.drives.empty()) fail(file, "[Drives] lists no drive");
    for (const auto& [key, value] : ini.entries("Devices")) {
        const std::string letter = unquote(value);
        if (letter.empty()) continue;
        config.devices.emplace_back(
            key, static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0]))));
    }
    for (const auto& [key, value] : ini.entries("Environment"))
        config.environment.emplace_back(key, unquote(value));
    for (const auto& [key, value] : ini.entries("Hives"))
        config.hives.emplace_back(key, unquote(value));
    for (const auto& [key, value] : ini.entries("Privileges"))
        config.privileges[toLowerAscii(key)] = parseProfileInt(value, 0) != 0;
    for (const auto& [key, value] : ini.entries("Programs"))
        config.programs.emplace_back(key, unquote(value));
    return config;
}

}  // namespace brx::platform::hosted
