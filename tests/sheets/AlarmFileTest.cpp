#include "AlarmFixture.h"

#include "model/CArchive.h"

namespace {
class AlarmFile : public AlarmSheets {
protected:
    std::vector<std::uint8_t> Store() {
        CArchive archive(CArchive::store);
        alarm.DoFileReadWrite(archive, 3);
        return archive.GetBuffer();
    }
    // Reads the alarm part of a document into a freshly built sheet.
    void Load(std::vector<std::uint8_t> bytes) {
        alarm.Initialize();
        CArchive archive(std::move(bytes));
        alarm.DoFileReadWrite(archive, 3);
    }
    // Every cell of every alarm row and every flag, as text.
    std::vector<std::string> Snapshot() {
        std::vector<std::string> texts;
        for (int row = 1; row <= 48; ++row) {
            for (int col = 0; col < ALARM_CELLS; ++col) {
                texts.push_back(Value(row, col));
                for (const std::string& item : Items(row, col))
                    texts.push_back("+" + item);
            }
            for (const auto& flag : *alarm.GetFlagGroup(row))
                texts.push_back(flag->GetName() + "=" + flag->GetDataAsString());
        }
        return texts;
    }
    static std::size_t FirstCountOffset() { return 1 + 5 + 4; } // title "Alarm", setup type
    // Where the setup-type record follows the 48 flag groups: the title appears a second time.
    static std::size_t FlagsEnd(const std::vector<std::uint8_t>& bytes) {
        const std::vector<std::uint8_t> title = {0x05, 'A', 'l', 'a', 'r', 'm', 3, 0, 0, 0};
        return static_cast<std::size_t>(
            std::search(bytes.begin() + 1, bytes.end(), title.begin(), title.end()) - bytes.begin());
    }
    static void Patch32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
        for (int k = 0; k < 4; ++k)
            bytes[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
    }
    static int Cause(const std::vector<std::uint8_t>& bytes, AlarmFile& test) {
        try {
            test.Load(bytes);
        } catch (const CArchiveException& e) {
            return e.m_cause;
        }
        return 0;
    }
};
} // namespace

TEST_F(AlarmFile, SectionComesBeforeTheRecord) {
    const std::vector<std::uint8_t> bytes = Store();
    const std::vector<std::uint8_t> head = {0x05, 'A', 'l', 'a', 'r',  'm', 3,   0,   0,   0,
                                            3,    0,   0,   0,   0x05, 'B', 'l', 'o', 'c', 'k'};
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    ASSERT_LT(FlagsEnd(bytes), bytes.size());
    EXPECT_EQ((FlagsEnd(bytes) - 10) % 48, 0u); // 48 groups of equal size
}

TEST_F(AlarmFile, StoreAndLoadKeepsEverything) {
    general.ValidateData(11, 1, "+REF");
    ActivatePhysical(1);
    ActivatePhysical(2, "10 V", "-5", "5");
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 11"));
    UseInput(1, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(1, ALM_COL_DYNREF, "LOG1"));
    ASSERT_TRUE(alarm.ValidateData(1, ALM_COL_SETPOINT, "42.5"));
    ASSERT_TRUE(alarm.ValidateData(1, ALM_COL_TEXT, "LEVEL"));
    SetFlags(1, {"ON", "OFF", "ON"});
    UseInput(48, "IN 12");
    ASSERT_TRUE(alarm.ValidateData(48, ALM_COL_DELAY, "3600"));
    ASSERT_TRUE(alarm.ValidateData(48, ALM_COL_OUTPUT, "9"));
    SetFlags(48, {"OFF", "ON"});
    const std::vector<std::string> before = Snapshot();

    Load(Store());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Value(1, ALM_COL_FLAGS), "BH");
    EXPECT_EQ(Flag(48, 1), "ON");
    EXPECT_EQ(Items(20, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11", "IN 12", "LOG1"}));
}

TEST_F(AlarmFile, LongLogicalNamesReadBackShort) {
    CBrChnData* ref = Cell(alarm, 3, ALM_COL_INPREF);
    ref->GetData() = {"OFF", "IN 11", "LOG2 (1B)"};
    ref->m_nSel = 2;
    Cell(alarm, 3, ALM_COL_DYNREF)->GetData() = {"OFF", "LOG2 (1B)", "LOG5 (2B)"};
    Load(Store());
    EXPECT_EQ(Items(3, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11", "LOG2"}));
    EXPECT_EQ(Value(3, ALM_COL_INPREF), "LOG2");
    EXPECT_EQ(Items(3, ALM_COL_DYNREF), (std::vector<std::string>{"OFF", "LOG2", "LOG5"}));
}

TEST_F(AlarmFile, WhateverPrecedesTheTitleIsSkipped) {
    CArchive archive(CArchive::store);
    archive.WriteString("General");
    archive.WriteString("");
    std::vector<std::uint8_t> bytes = archive.GetBuffer();
    const std::vector<std::uint8_t> stored = Store();
    bytes.insert(bytes.end(), stored.begin(), stored.end());
    EXPECT_EQ(Cause(bytes, *this), 0);
}

TEST_F(AlarmFile, FlagGroupCounts) {
    std::vector<std::uint8_t> bytes = Store();
    for (std::uint32_t count : {4u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u}) {
        std::vector<std::uint8_t> damaged = bytes;
        Patch32(damaged, FirstCountOffset(), count);
        EXPECT_EQ(Cause(damaged, *this), CArchiveException::badSchema) << count;
    }

    // A group stored with fewer cells reads those and keeps defaults for the rest.
    CArchive archive(CArchive::store);
    archive.WriteString("Alarm");
    archive.WriteInt32(3);
    CBrChnData on(DATA_TYPE_INT, 1, CTRL_STYLE_LIST, CLR_DEFAULT);
    on.AddData("OFF;ON");
    on.m_nSel = 1;
    for (int group = 0; group < 48; ++group) {
        archive.WriteInt32(group == 0 ? 1 : 0);
        if (group == 0) {
            archive.WriteString("Block");
            on.DoFileReadWrite(archive, 3);
        }
    }
    std::vector<std::uint8_t> shortGroups = archive.GetBuffer();
    shortGroups.insert(shortGroups.end(), bytes.begin() + static_cast<std::ptrdiff_t>(FlagsEnd(bytes)),
                       bytes.end());
    ASSERT_EQ(Cause(shortGroups, *this), 0);
    EXPECT_EQ((std::vector<std::string>{Flag(1, 0), Flag(1, 1), Flag(2, 0)}),
              (std::vector<std::string>{"ON", "OFF", "OFF"}));
}

TEST_F(AlarmFile, TruncatedFilesFailCleanly) {
    const std::vector<std::uint8_t> bytes = Store();
    for (std::size_t length = 0; length < bytes.size(); length += 1 + length / 16) {
        const std::vector<std::uint8_t> cut(bytes.begin(),
                                            bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_NE(Cause(cut, *this), 0) << length;
    }
}
