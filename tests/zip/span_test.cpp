// Spanning over diskettes in drive A: of a small machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/TestMachine.h"
#include "zip/ZipEngine.h"

namespace brx::zip {
namespace {

namespace fs = std::filesystem;

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

class ZipSpan : public ::testing::Test {
protected:
    ZipSpan()
    {
        m_machine.writeFile("C:\\data\\one.bin", RandomBytes(1200000, 1));
        m_machine.writeFile("C:\\data\\two.bin", RandomBytes(1200000, 2));
        m_machine.writeFile("C:\\data\\three.bin", RandomBytes(800000, 3));
        m_engine.UseProgramSettings();
        m_disks.push_back(m_machine.insertDiskette("disk1"));
        m_engine.OnGetNextDisk = [this](ZipEngine&, int disk, std::string& name) {
            m_requests.push_back(disk);
            const int number = disk == 0 ? static_cast<int>(m_disks.size()) : disk;
            if (number > static_cast<int>(m_disks.size()))
                m_disks.push_back(m_machine.insertDiskette("disk" + std::to_string(number)));
            else
                m_machine.hosted().setDriveMedia('A', m_disks[number - 1]);
            (void)name;
        };
    }

    int writeBackup()
    {
        m_engine.SetZipName("A:\\backup.zip");
        m_engine.FilesList = {"C:\\data\\one.bin", "C:\\data\\two.bin", "C:\\data\\three.bin"};
        return m_engine.WriteArchive();
    }

    test::TestMachine m_machine;
    ZipEngine m_engine{m_machine.platform()};
    std::vector<std::string> m_disks;
    std::vector<int> m_requests;
};

TEST_F(ZipSpan, FillsDiskettesAndReadsThemBack)
{
    m_engine.MultiZipInfo.SaveZipInfoOnFirstDisk = true;
    std::vector<int> percents;
    m_engine.OnTotalPercentDone = [&](ZipEngine&, int percent) { percents.push_back(percent); };
    ASSERT_EQ(writeBackup(), 3);
    EXPECT_EQ(percents.back(), 100);
    // Two further disks while writing, then disk 1 for the directory copy and the last one again.
    EXPECT_EQ(m_requests, (std::vector<int>{2, 3, 1, 0}));
    ASSERT_EQ(m_disks.size(), 3u);
    for (const auto& disk : m_disks)
        EXPECT_LE(fs::file_size(disk + "/backup.zip"), 1457664u);
    EXPECT_TRUE(fs::exists(m_disks[0] + "/backup.zfc"));
    // The first disk keeps room for the directory copy.
    EXPECT_LE(fs::file_size(m_disks[0] + "/backup.zip") + fs::file_size(m_disks[0] + "/backup.zfc"), 1457664u);

    // Read back from the last disk, which holds the directory; the others are asked for.
    m_engine.CloseArchive();
    m_requests.clear();
    m_engine.SetZipName("A:\\backup.zip");
    m_engine.ReadDirectory();
    EXPECT_EQ(m_engine.EntryCount(), 3);
    m_engine.SetDestDir("C:\\restored");
    m_engine.DoAll = true;
    m_engine.RecreateDirs = false;
    EXPECT_EQ(m_engine.ExtractEntries(), 3);
    EXPECT_EQ(m_machine.readFile("C:\\restored\\two.bin"), RandomBytes(1200000, 2));
    EXPECT_EQ(m_requests.front(), 1);

    // From the first disk, the directory copy beside it is enough to start.
    m_engine.CloseArchive();
    m_machine.hosted().setDriveMedia('A', m_disks[0]);
    m_engine.SetZipName("A:\\backup.zip");
    m_requests.clear();
    EXPECT_TRUE(m_engine.TestArchive());
    EXPECT_EQ(m_requests, (std::vector<int>{2, 3}));
}

TEST_F(ZipSpan, FullDisketteFailsAndLeavesNoPartialArchive)
{
    m_engine.MultiZipInfo.MultiMode = mmNone;
    try {
        writeBackup();
        FAIL() << "3 MB fitted on a diskette";
    } catch (const ZipError& error) {
        EXPECT_EQ(error.kind(), ZipErrorKind::ENotEnoughRoom);
        EXPECT_EQ(std::string(error.what()), "Not enough room to write archive");
    }
    EXPECT_FALSE(fs::exists(m_disks[0] + "/backup.zip"));
}

TEST_F(ZipSpan, RefusingADiskCancels)
{
    m_engine.OnGetNextDisk = [](ZipEngine&, int, std::string& name) { name.clear(); };
    try {
        writeBackup();
        FAIL() << "the write went on without a disk";
    } catch (const ZipError& error) {
        EXPECT_EQ(std::string(error.what()), "User canceled Zip operation");
    }
}

TEST_F(ZipSpan, RefusingADiskWhileReadingCancels)
{
    ASSERT_EQ(writeBackup(), 3);
    m_engine.CloseArchive();
    m_engine.OnGetNextDisk = [](ZipEngine&, int, std::string& name) { name.clear(); };
    m_engine.SetZipName("A:\\backup.zip");
    try {
        m_engine.TestArchive();
        FAIL() << "the test went on without a disk";
    } catch (const ZipError& error) {
        EXPECT_EQ(error.kind(), ZipErrorKind::EUserCanceled);
        EXPECT_EQ(std::string(error.what()), "User canceled loading new disk.");
    }
}

}  // namespace
}  // namespace brx::zip
