// A fresh host directory per test, seen through the host root as drive Z:, with one engine on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "platform/hosted/Machine.h"
#include "zip/ZipEngine.h"

namespace brx::zip::test {

namespace fs = std::filesystem;

class ZipFixture : public ::testing::Test {
protected:
    ZipFixture()
    {
        std::string pattern = (fs::temp_directory_path() / "brxzip-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        m_platform = platform::hosted::openHostRoot();
        m_engine = std::make_unique<ZipEngine>(*m_platform);
        m_engine->UseProgramSettings();
        m_engine->MultiZipInfo.MultiMode = mmNone;
    }
    ~ZipFixture() override { fs::remove_all(m_root); }

    ZipEngine& engine() { return *m_engine; }
    platform::Platform& machine() { return *m_platform; }
    const fs::path& root() const { return m_root; }

    // Host path below the test directory, and the same as a Windows path on drive Z:.
    fs::path host(const std::string& relative) const { return m_root / relative; }
    std::string z(const std::string& relative = "") const
    {
        std::string path = relative.empty() ? m_root.string() : (m_root / relative).string();
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return "Z:" + path;
    }

    void put(const std::string& relative, const std::string& content)
    {
        fs::create_directories(host(relative).parent_path());
        std::ofstream(host(relative), std::ios::binary) << content;
    }
    std::string get(const std::string& relative) const
    {
        std::ifstream in(host(relative), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::string randomBytes(std::size_t size, unsigned seed)
    {
        std::mt19937 random(seed);
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() & 0xFF);
        return bytes;
    }
    static std::string textOf(std::size_t size)
    {
        std::string text;
        for (std::size_t i = 0; text.size() < size; ++i)
            text += "line " + std::to_string(i) + " of a backup that should compress well\r\n";
        text.resize(size);
        return text;
    }

    // Runs a shell command in the test directory; returns its exit status and output.
    int sh(const std::string& command, std::string* output = nullptr) const
    {
        const std::string full = "cd '" + m_root.string() + "' && " + command + " 2>&1";
        std::FILE* pipe = popen(full.c_str(), "r");
        std::string text;
        char buffer[4096];
        while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            text.append(buffer, got);
        const int status = pclose(pipe);
        if (output)
            *output = text;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The usual sample: text, random, empty and nested files below "src".
    void putSample()
    {
        put("src/readme.txt", textOf(50000));
        put("src/random.bin", randomBytes(300000, 7));
        put("src/empty.dat", "");
        put("src/sub/deeper/notes.ini", "[windows]\r\nload=\r\n");
    }
    void expectSampleIn(const std::string& folder)
    {
        EXPECT_EQ(get(folder + "/readme.txt"), textOf(50000));
        EXPECT_EQ(get(folder + "/random.bin"), randomBytes(300000, 7));
        EXPECT_TRUE(fs::exists(host(folder + "/empty.dat")));
        EXPECT_EQ(get(folder + "/sub/deeper/notes.ini"), "[windows]\r\nload=\r\n");
    }
    int writeArchive(const std::string& archive, std::vector<std::string> files)
    {
        engine().SetZipName(z(archive));
        engine().FilesList = std::move(files);
        return engine().WriteArchive();
    }

private:
    fs::path m_root;
    std::unique_ptr<platform::hosted::HostedPlatform> m_platform;
    std::unique_ptr<ZipEngine> m_engine;
};

// Expects `call` to throw a ZipError of `kind` with exactly `text`.
template <typename Call>
void ExpectZipError(Call call, ZipErrorKind kind, const std::string& text)
{
    try {
        call();
        ADD_FAILURE() << "expected \"" << text << "\"";
    } catch (const ZipError& error) {
        EXPECT_EQ(error.kind(), kind);
        EXPECT_EQ(std::string(error.what()), text);
    }
}

}  // namespace brx::zip::test
