#include "tools/zemra-sim/CZemraMemory.h"

#include "ZemraSimulatorTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace zemsim_test;

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "zemra_" + std::to_string(getpid()) + "_" + name;
}

std::string Hex64(char digit) {
    return std::string(64, digit);
}

} // namespace

TEST(ZemraSimulatorMemory, BanksHaveTheUnitsBlockCounts) {
    CZemraMemory memory;
    EXPECT_NE(memory.Get(ZemBank::General, 7), nullptr);
    EXPECT_EQ(memory.Get(ZemBank::General, 8), nullptr);
    EXPECT_NE(memory.Get(ZemBank::Input, 31), nullptr);
    EXPECT_EQ(memory.Get(ZemBank::Input, 32), nullptr);
    EXPECT_NE(memory.Get(ZemBank::Alarm, 47), nullptr);
    EXPECT_EQ(memory.Get(ZemBank::Alarm, -1), nullptr);
    EXPECT_EQ(memory.Put(ZemBank::Alarm, 48, Pattern(1)), 0);
}

TEST(ZemraSimulatorMemory, TextRoundTrip) {
    CZemraMemory memory;
    memory.Put(ZemBank::General, 3, Pattern(1));
    memory.Put(ZemBank::Input, 30, Pattern(2));
    memory.Put(ZemBank::Alarm, 47, Pattern(3));
    CZemraMemory copy;
    std::string error;
    ASSERT_EQ(copy.FromText(memory.ToText(), error), 1) << error;
    EXPECT_EQ(copy, memory);
    EXPECT_NE(copy, CZemraMemory());
}

TEST(ZemraSimulatorMemory, MissingBlocksKeepTheirContents) {
    CZemraMemory memory;
    std::string error;
    ASSERT_EQ(memory.FromText("# only one block\n\nalarm 2 " + Hex64('a') + "\r\n", error), 1) << error;
    CZemraMemory expected;
    CZemraMemory::Block block;
    block.fill(0xAA);
    expected.Put(ZemBank::Alarm, 2, block);
    EXPECT_EQ(memory, expected);
}

TEST(ZemraSimulatorMemory, BadLinesAreRefusedWholeWithTheLineNumber) {
    const std::string good = "general 0 " + Hex64('1') + "\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"relay 0 " + Hex64('0'), "unknown bank"},
        {"alarm 48 " + Hex64('0'), "no block"},
        {"input -1 " + Hex64('0'), "no block"},
        {"input 99999999999 " + Hex64('0'), "no block"},
        {"alarm 1 " + Hex64('0').substr(2), "64 hex digits"},
        {"alarm 1 " + Hex64('g'), "not a hex digit"},
        {"alarm 1", "expected"},
        {"alarm 1 " + Hex64('0') + " extra", "unexpected text"},
    };
    for (const auto& [line, reason] : cases) {
        CZemraMemory memory;
        std::string error;
        EXPECT_EQ(memory.FromText(good + line + "\n", error), 0) << line;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(memory, CZemraMemory()) << "the good first line must not be applied either";
    }
}

TEST(ZemraSimulatorMemory, SaveAndLoadFile) {
    const std::string path = TempPath("memory.txt");
    CZemraMemory memory;
    memory.Put(ZemBank::Input, 0, Pattern(8));
    std::string error;
    ASSERT_EQ(memory.Save(path, error), 1) << error;
    CZemraMemory loaded;
    ASSERT_EQ(loaded.Load(path, error), 1) << error;
    EXPECT_EQ(loaded, memory);
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0) << "no temporary file left behind";
    std::remove(path.c_str());
}

TEST(ZemraSimulatorMemory, LoadFailuresSayWhy) {
    CZemraMemory memory;
    std::string error;
    EXPECT_EQ(memory.Load(TempPath("does-not-exist"), error), 0);
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;

    const std::string path = TempPath("garbage.bin");
    {
        std::ofstream out(path, std::ios::binary);
        out << "\x01\x02 not a memory file\n";
    }
    EXPECT_EQ(memory.Load(path, error), 0);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(memory, CZemraMemory());
    std::remove(path.c_str());
}

TEST(ZemraSimulatorMemory, SaveIntoAMissingDirectoryFails) {
    CZemraMemory memory;
    std::string error;
    EXPECT_EQ(memory.Save(TempPath("no-such-dir") + "/memory.txt", error), 0);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}
