#include "tools/zemra-sim/CZemraFaultTable.h"
#include "tools/zemra-sim/CZemraSimOptions.h"

#include <gtest/gtest.h>

namespace {

ZemFault ParseOk(const std::string& faultText) {
    ZemFault fault;
    std::string error;
    EXPECT_EQ(CZemraFaultTable::Parse(faultText, fault, error), 1) << faultText << ": " << error;
    return fault;
}

std::string ParseError(const std::string& faultText) {
    ZemFault fault;
    std::string error;
    EXPECT_EQ(CZemraFaultTable::Parse(faultText, fault, error), 0) << faultText;
    return error;
}

} // namespace

TEST(ZemraSimulatorFaultText, BlocksMapToTheirBankAddresses) {
    ZemFault f = ParseOk("general/7:noanswer");
    EXPECT_EQ(f.bank, ZemBank::General);
    EXPECT_EQ(f.first, 7);
    EXPECT_EQ(f.last, 7);
    EXPECT_EQ(f.kind, ZemFaultKind::NoAnswer);
    EXPECT_EQ(f.remaining, -1);

    f = ParseOk("logical/2:checksum:3");
    EXPECT_EQ(f.bank, ZemBank::Input);
    EXPECT_EQ(f.first, 26);
    EXPECT_EQ(f.kind, ZemFaultKind::BadChecksum);
    EXPECT_EQ(f.remaining, 3);

    f = ParseOk("physical/23:flip:1");
    EXPECT_EQ(f.bank, ZemBank::Input);
    EXPECT_EQ(f.first, 23);
    EXPECT_EQ(f.kind, ZemFaultKind::FlipBit);

    EXPECT_EQ(ParseOk("alarm/47:late").kind, ZemFaultKind::LateAnswer);
    EXPECT_EQ(ParseOk("alarm/0:short").kind, ZemFaultKind::ShortAnswer);
    EXPECT_EQ(ParseOk("alarm/0:long").kind, ZemFaultKind::LongAnswer);
    EXPECT_EQ(ParseOk("alarm/0:nostore").kind, ZemFaultKind::NoStore);
    EXPECT_EQ(ParseOk("alarm/0:other").kind, ZemFaultKind::OtherBlock);
}

TEST(ZemraSimulatorFaultText, WildcardsStayInsideTheirKindOfBlock) {
    ZemFault f = ParseOk("physical/*:noanswer");
    EXPECT_EQ(f.first, 0);
    EXPECT_EQ(f.last, 23);
    f = ParseOk("logical/*:noanswer");
    EXPECT_EQ(f.first, 24);
    EXPECT_EQ(f.last, 31);

    CZemraFaultTable table;
    table.Add(f);
    ZemFaultKind kind;
    EXPECT_EQ(table.TakeAnswerFault(ZemBank::Input, 23, kind), 0);
    EXPECT_EQ(table.TakeAnswerFault(ZemBank::Input, 24, kind), 1);
    EXPECT_EQ(table.TakeAnswerFault(ZemBank::Alarm, 24, kind), 0);
}

TEST(ZemraSimulatorFaultText, BadTextsAreRefusedWithAReason) {
    EXPECT_NE(ParseError("alarm5:noanswer").find("BLOCK:KIND"), std::string::npos);
    EXPECT_NE(ParseError("relay/1:noanswer").find("unknown block kind"), std::string::npos);
    EXPECT_NE(ParseError("alarm/48:noanswer").find("0..47"), std::string::npos);
    EXPECT_NE(ParseError("logical/8:noanswer").find("0..7"), std::string::npos);
    EXPECT_NE(ParseError("physical/-1:noanswer").find("0..23"), std::string::npos);
    EXPECT_NE(ParseError("general/99999999999:late").find("0..7"), std::string::npos);
    EXPECT_NE(ParseError("alarm/1:explode").find("unknown kind"), std::string::npos);
    EXPECT_NE(ParseError("alarm/1:late:0").find("count"), std::string::npos);
    EXPECT_NE(ParseError("alarm/1:late:x").find("count"), std::string::npos);
    EXPECT_NE(ParseError("alarm/1:late:").find("count"), std::string::npos);
}

TEST(ZemraSimulatorFaultTable, FirstArmedFaultWinsAndCountsDown) {
    CZemraFaultTable table;
    table.Add({ZemBank::Alarm, 3, 3, ZemFaultKind::NoAnswer, 1});
    table.Add({ZemBank::Alarm, 0, 47, ZemFaultKind::BadChecksum, 1});
    ZemFaultKind kind;
    ASSERT_EQ(table.TakeAnswerFault(ZemBank::Alarm, 3, kind), 1);
    EXPECT_EQ(kind, ZemFaultKind::NoAnswer);
    ASSERT_EQ(table.TakeAnswerFault(ZemBank::Alarm, 3, kind), 1);
    EXPECT_EQ(kind, ZemFaultKind::BadChecksum);
    EXPECT_EQ(table.TakeAnswerFault(ZemBank::Alarm, 3, kind), 0);
    EXPECT_EQ(table.Faults()[0].remaining, 0);
}

TEST(ZemraSimulatorFaultTable, RandomFaultsRepeatWithTheirSeedAndKeepToTheirClass) {
    const auto draw = [](unsigned seed, int perMille) {
        CZemraFaultTable table;
        table.SetRandom(seed, perMille);
        std::string drawn;
        for (int i = 0; i < 400; ++i) {
            ZemFaultKind kind{};
            const bool store = i % 2 == 1;
            if (!(store ? table.TakeStoreFault(ZemBank::Alarm, 0, kind)
                        : table.TakeAnswerFault(ZemBank::Alarm, 0, kind))) {
                drawn += '.';
                continue;
            }
            EXPECT_EQ(CZemraFaultTable::IsStoreFault(kind), store) << CZemraFaultTable::KindName(kind);
            drawn += static_cast<char>('0' + static_cast<int>(kind));
        }
        for (int i = 0; i < 50; ++i) {
            const int late = table.LateDelayMs(12);
            EXPECT_TRUE(late >= 1 && late <= 12) << late;
        }
        return drawn;
    };
    EXPECT_EQ(draw(5, 100), draw(5, 100));
    EXPECT_NE(draw(5, 100), draw(6, 100));
    EXPECT_EQ(draw(5, 0), std::string(400, '.'));
    EXPECT_EQ(draw(5, 1000).find('.'), std::string::npos) << "every message misbehaves at 1000 in 1000";
}

TEST(ZemraSimulatorFaultTable, BlockNamesFollowTheProgramsNumbering) {
    EXPECT_EQ(CZemraFaultTable::BlockName(ZemBank::Input, 5), "physical/5");
    EXPECT_EQ(CZemraFaultTable::BlockName(ZemBank::Input, 30), "logical/6");
    EXPECT_EQ(CZemraFaultTable::BlockName(ZemBank::General, 0), "general/0");
    EXPECT_EQ(CZemraFaultTable::BlockName(ZemBank::Alarm, 47), "alarm/47");
}

TEST(ZemraSimulatorOptions, FullCommandLine) {
    const char* argv[] = {"zemra-sim", "--link",       "/tmp/zemra", "--memory",          "m.txt",
                          "--fault",   "alarm/1:late", "--fault",    "general/0:short:2", "--late-ms",
                          "250",       "--answer-ms",  "20",         "--trace",           "--random-faults",
                          "25",        "--seed",       "7"};
    CZemraSimOptions options;
    std::string error;
    ASSERT_EQ(options.Parse(static_cast<int>(std::size(argv)), argv, error), 1) << error;
    EXPECT_EQ(options.linkPath, "/tmp/zemra");
    EXPECT_EQ(options.memoryPath, "m.txt");
    ASSERT_EQ(options.faults.size(), 2u);
    EXPECT_EQ(options.faults[1].remaining, 2);
    EXPECT_EQ(options.lateDelayMs, 250);
    EXPECT_EQ(options.answerDelayMs, 20);
    EXPECT_TRUE(options.trace);
    EXPECT_EQ(options.randomPerMille, 25);
    EXPECT_EQ(options.seed, 7u);
    EXPECT_FALSE(options.help);
}

TEST(ZemraSimulatorOptions, DefaultsWithoutArguments) {
    const char* argv[] = {"zemra-sim"};
    CZemraSimOptions options;
    std::string error;
    ASSERT_EQ(options.Parse(1, argv, error), 1);
    EXPECT_TRUE(options.linkPath.empty());
    EXPECT_TRUE(options.faults.empty());
    EXPECT_EQ(options.lateDelayMs, 300);
    EXPECT_FALSE(options.trace);
}

TEST(ZemraSimulatorOptions, BadCommandLinesAreRefused) {
    const std::vector<std::vector<const char*>> cases = {
        {"zemra-sim", "--link"},
        {"zemra-sim", "--memory", ""},
        {"zemra-sim", "--fault", "alarm/99:late"},
        {"zemra-sim", "--late-ms", "-5"},
        {"zemra-sim", "--answer-ms", "60001"},
        {"zemra-sim", "--bogus"},
        {"zemra-sim", "--random-faults", "1001"},
        {"zemra-sim", "--seed", "x"},
    };
    for (const auto& argv : cases) {
        CZemraSimOptions options;
        std::string error;
        EXPECT_EQ(options.Parse(static_cast<int>(argv.size()), argv.data(), error), 0) << argv.back();
        EXPECT_FALSE(error.empty());
    }
}
