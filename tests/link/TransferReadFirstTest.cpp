// Uploads that read the unit first: only the blocks that differ are written, what the unit held is kept as
// a document before the first write, and a pause holds the line quiet wherever it falls. Against the
// simulated unit on a pseudo-terminal, with short pauses.
#include "link/CComSetupDialog.h"
#include "link/CScriptedComSetupUI.h"
#include "link/ITransferTrace.h"
#include "link/ITransferUI.h"
#include "model/CBrantSetupType.h"
#include "sheets/alarms/AlarmTables.h"
#include "sheets/general/GeneralTables.h"
#include "support/RandomEdit.h"
#include "support/SimulatedUnit.h"
#include "unit/CTavikDoc.h"
#include "unit/CUnitBackup.h"
#include "unit/CZemUnit.h"
#include "unit/UploadReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using ::testing::HasSubstr;

constexpr int kShortWaitMs = 10;
constexpr auto kHangLimit = std::chrono::seconds(60);

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every message the driver sends, in order with the marks the test sets between them; runs on the worker.
class LineLog : public ITransferTrace {
public:
    void OnMessage(bool sent, const std::uint8_t*, int count) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (sent && count > 0) m_events.push_back(count == CZemProtocol::DATA_MSG_LEN ? 'W' : 'R');
    }
    void Mark(char mark) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back(mark);
    }
    std::string Events() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events;
    }
    int Writes() {
        const std::string events = Events();
        return static_cast<int>(std::count(events.begin(), events.end(), 'W'));
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.clear();
    }

private:
    std::mutex m_lock;
    std::string m_events; // 'R' request, 'W' write message, and the test's marks
};

class TransferReadFirst : public ::testing::Test {
protected:
    TransferReadFirst() {
        TransferWaits::SetBlockWaitMsForTests(kShortWaitMs);
        dir = fs::path(::testing::TempDir()) / ("tavik-read-first-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        doc.OnNewDocument();
        unit = doc.GetZemUnit();
        unit->GetComSetup()->SetUI(&portUI);
        CBrantSetupType::SetTrace(&log);
        simulated.Start();
        portUI.AnswerPortName(simulated.Path());
    }
    ~TransferReadFirst() override {
        unit->StopTransfer();
        unit->JoinWorker();
        unit->SetUploadBackup(nullptr);
        CBrantSetupType::SetTrace(nullptr);
        TransferWaits::SetBlockWaitMsForTests(TransferWaits::UNIT_BLOCK_WAIT_MS);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void WaitForEnd() {
        const Clock::time_point limit = Clock::now() + kHangLimit;
        while (!unit->IsTransEnd() && Clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_TRUE(unit->IsTransEnd()) << "the transfer did not end";
        if (!unit->IsTransEnd()) unit->StopTransfer();
        unit->JoinWorker();
    }
    // One upload of the document; true when it went through.
    bool Upload() {
        log.Clear();
        EXPECT_EQ(unit->UploadData(), 1);
        WaitForEnd();
        return unit->GetTransferResult() == 1;
    }
    // The unit's configuration as a download saves it, read into a document of its own.
    Bytes UnitHolds() {
        const Bytes mine = doc.SaveToBytes();
        unit->Initialize();
        EXPECT_EQ(unit->DownloadData(), 1);
        WaitForEnd();
        EXPECT_EQ(unit->GetTransferResult(), 1) << unit->GetTransferError();
        const Bytes held = doc.SaveToBytes();
        std::string error;
        EXPECT_TRUE(doc.LoadFromBytes(mine, error)) << error;
        return held;
    }
    // The unit holds every bit that the sheets leave alone set: an upload keeps them and writes no block
    // for them.
    void SetBitsTheSheetsLeaveAlone() {
        simulated.Stop();
        int b = 0;
        for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
            CBrantSetupType* setup = unit->GetSetupType(type);
            for (int block = 0; block < setup->GetNumTransBlocks(); ++block, ++b) {
                const ZemBank bank = b < 8 ? ZemBank::General : b < 39 ? ZemBank::Input : ZemBank::Alarm;
                const int address = b < 8 ? b : b < 39 ? b - 8 : b - 39;
                CZemraMemory::Block ones, zeros, held = *simulated.Sim().Memory().Get(bank, address);
                ones.fill(0xFF);
                zeros.fill(0x00);
                setup->FillBlock(block, ones.data());
                setup->FillBlock(block, zeros.data());
                for (std::size_t k = 0; k < held.size(); ++k)
                    held[k] = static_cast<std::uint8_t>(held[k] | (ones[k] & ~zeros[k]));
                simulated.Sim().Memory().Put(bank, address, held);
            }
        }
        simulated.Resume();
    }
    void Edit(int type, int row, int col, const char* text) {
        ASSERT_TRUE(unit->GetSetupType(type)->ValidateData(row, col, text))
            << row << "/" << col << " " << text;
    }

    // IN 11 a 20 mA input shown up to 100, for alarms to refer to.
    void ActivateInput() {
        Edit(SETUP_PHYSICAL_INPUT, 1, 1, "20 mA");
        Edit(SETUP_PHYSICAL_INPUT, 1, 6, "100");
    }
    // Alarms on IN 11, uploaded.
    void AlarmsOnInput(std::initializer_list<int> rows) {
        ActivateInput();
        for (int row : rows)
            Edit(SETUP_ALARM, row, ALM_COL_INPREF, "IN 11");
        ASSERT_TRUE(Upload()) << unit->GetTransferError();
    }

    SimulatedUnit simulated; // first, so that the unit closes its port before the terminal goes
    CScriptedComSetupUI portUI;
    LineLog log;
    CTavikDoc doc;
    CZemUnit* unit = nullptr;
    fs::path dir;
};

TEST_F(TransferReadFirst, WritesOnlyWhatDiffersAndKeepsWhatTheUnitHeld) {
    CUnitBackup backup;
    const fs::path kept = dir / "prev.zmg";
    backup.KeepInFile(kept.string());
    unit->SetUploadBackup(&backup);
    SetBitsTheSheetsLeaveAlone();
    ActivateInput();
    Edit(SETUP_ALARM, 1, ALM_COL_INPREF, "IN 11");
    Edit(SETUP_ALARM, 1, ALM_COL_SETPOINT, "12.5");
    const Bytes edited = doc.SaveToBytes();

    // Each upload: what the unit held before is kept, and only the blocks that differ are written.
    const struct {
        const char* step;
        int setPointRow; // 0: no change
        bool writeAll;
        int written;
    } steps[] = {{"first upload", 0, false, 2}, // IN 11 and alarm 1; the rest is as the factory left it
                 {"the same again", 0, false, 0},
                 {"one set point changed", 1, false, 1},
                 {"every block", 0, true, 87}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        if (s.setPointRow) Edit(SETUP_ALARM, s.setPointRow, ALM_COL_SETPOINT, "13");
        unit->SetWriteAllBlocks(s.writeAll);
        const Bytes before = UnitHolds();
        ASSERT_TRUE(Upload()) << unit->GetTransferError();
        EXPECT_EQ(ReadFile(kept), before) << "the backup is the document a download of the unit gives";
        EXPECT_EQ(unit->GetBlocksWritten(), s.written);
        EXPECT_EQ(log.Writes(), s.written);
        EXPECT_EQ(UploadSummary(*unit), "wrote " + std::to_string(s.written) + " of 87 blocks; " +
                                            std::to_string(87 - s.written) + " already held these values");
        EXPECT_EQ(log.Events().substr(0, 87), std::string(87, 'R')) << "the whole unit is read first";
    }
    EXPECT_NE(ReadFile(kept), edited) << "the last backup holds the set point before it changed";
}

TEST_F(TransferReadFirst, AStopNamesWhatWasWrittenAndWhileReadingKeepsNothing) {
    AlarmsOnInput({3, 18, 20});
    for (int row : {3, 18, 20})
        Edit(SETUP_ALARM, row, ALM_COL_TEXT, "PUMP");
    CUnitBackup backup;
    backup.KeepInFolder((dir / "backups").string());
    unit->SetUploadBackup(&backup);
    // Stopped at request `at`: in the reading (nothing written, nothing kept), or after two blocks.
    for (const std::size_t at : {std::size_t{40}, std::size_t{89}}) {
        SCOPED_TRACE(at);
        const std::size_t first = simulated.Requests();
        std::atomic<bool> done{false};
        std::thread stopper([&] {
            while (!done && simulated.Requests() < first + at)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (!done) unit->StopTransfer();
        });
        EXPECT_FALSE(Upload());
        done = true;
        stopper.join();
        EXPECT_TRUE(unit->WasStopped());
        if (at < 87) {
            EXPECT_EQ(log.Writes(), 0);
            EXPECT_EQ(WrittenBlocksText(*unit), "Nothing was written to the unit");
            EXPECT_EQ(BackupText(*unit), "no backup was kept: the unit was not read in full");
            EXPECT_FALSE(fs::exists(dir / "backups")) << "no backup of a unit not read in full";
            continue;
        }
        EXPECT_EQ(WrittenBlocksText(*unit), "2 blocks were written: Alarm 3 (A13), Alarm 18 (A36)");
        EXPECT_EQ(log.Writes(), 2);
        const std::string path = unit->GetBackupPath();
        EXPECT_EQ(BackupText(*unit), "previous configuration: " + path);
        EXPECT_EQ(fs::path(path).parent_path(), dir / "backups");
        EXPECT_THAT(fs::path(path).filename().string(),
                    ::testing::MatchesRegex("unit-1-[0-9]{8}-[0-9]{6}\\.zmg"));
    }
}

// Answers every retry question with Retry.
class AlwaysRetry : public ITransferUI {
public:
    bool AskRetry(const std::string&, const std::string&) override {
        ++asked;
        return true;
    }
    std::atomic<int> asked{0};
};

// The unit's memory, every bank block by block.
std::vector<CZemraMemory::Block> MemoryOf(SimulatedUnit& simulated) {
    std::vector<CZemraMemory::Block> blocks;
    for (ZemBank bank : {ZemBank::General, ZemBank::Input, ZemBank::Alarm})
        for (int address = 0; address < CZemraMemory::BlockCount(bank); ++address)
            blocks.push_back(*simulated.Sim().Memory().Get(bank, address));
    return blocks;
}

// Random edits of every sheet, uploaded: the unit then holds the document, exactly the blocks that changed
// were written, and an upload retried after a failed write keeps as its backup what the unit held before
// the first attempt (not what that attempt left) and reads the unit again.
TEST_F(TransferReadFirst, RandomEditsAreUploadedExactly) {
    CUnitBackup backup;
    const fs::path kept = dir / "prev.zmg";
    backup.KeepInFile(kept.string());
    unit->SetUploadBackup(&backup);
    AlwaysRetry retry;
    unit->SetTransferUI(&retry);
    std::mt19937 random(2812);
    int units = 0;
    for (int round = 0; round < 6 && !HasFailure(); ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 15; ++i)
            RandomEdit(*unit, random, units, false);
        // Something early (General) and the last alarm block always differ.
        Edit(SETUP_GENERAL, GEN_ROW_DEVICE_NUMBER, 1, std::to_string(2 + round).c_str());
        ActivateInput();
        Edit(SETUP_ALARM, ALARM_COUNT, ALM_COL_INPREF, "IN 11");
        Edit(SETUP_ALARM, ALARM_COUNT, ALM_COL_SETPOINT, round % 2 ? "13" : "14");
        const Bytes wanted = doc.SaveToBytes();
        const Bytes before = UnitHolds();
        const bool failOnce = round % 2 == 1; // the last alarm block is not stored once: read-back differs
        simulated.Stop();
        if (failOnce) simulated.AddFault("alarm/" + std::to_string(ALARM_COUNT - 1) + ":nostore:1");
        const std::vector<CZemraMemory::Block> held = MemoryOf(simulated);
        simulated.Resume();
        retry.asked = 0;
        ASSERT_TRUE(Upload()) << unit->GetTransferError();
        EXPECT_EQ(retry.asked, failOnce ? 1 : 0);
        EXPECT_EQ(ReadFile(kept), before) << "the backup is what the unit held before the first attempt";
        simulated.Stop();
        const std::vector<CZemraMemory::Block> now = MemoryOf(simulated);
        simulated.Resume();
        int changed = 0;
        for (std::size_t b = 0; b < held.size(); ++b)
            changed += held[b] != now[b];
        if (failOnce)
            EXPECT_EQ(unit->GetBlocksWritten(), 1)
                << "the retry read the unit again and wrote what still differed";
        else
            EXPECT_EQ(unit->GetBlocksWritten(), changed);
        EXPECT_EQ(UnitHolds(), wanted) << "the unit holds the document";
    }
    unit->SetTransferUI(nullptr);
}

// A program ended in the middle of an exchange (a second Ctrl-C) leaves the unit's answer on its way: the
// next transfer to open the port lets the line fall quiet first and does not take that answer for its own.
TEST_F(TransferReadFirst, AnAnswerStillOnItsWayIsNotTakenForTheNextTransfersFirst) {
    // A longer silence to wait for than the other tests use, so that a busy machine cannot delay the stale
    // answer past it.
    TransferWaits::SetBlockWaitMsForTests(3 * kShortWaitMs);
    simulated.Stop();
    simulated.Sim().SetAnswerDelayMs(kShortWaitMs / 2);
    simulated.Resume();
    const int stale = ::open(simulated.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(stale, 0);
    const char request[] = "#B0042$"; // General block 0, asked by the program that was ended
    ASSERT_EQ(::write(stale, request, 7), 7);
    ::close(stale);
    unit->Initialize();
    ASSERT_EQ(unit->DownloadData(), 1);
    WaitForEnd();
    EXPECT_EQ(unit->GetTransferResult(), 1) << unit->GetTransferError();
}

// The backups folder keeps the newest 200; two backups in one second both stay.
TEST(TransferBackupFolder, KeepsTheNewestTwoHundred) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("tavik-backups-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (int i = 0; i < CUnitBackup::kMaxKept; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "unit-7-2020%04d-120000.zmg", 101 + i % 28 + 100 * (i / 28));
        std::ofstream(dir / name) << "old";
    }
    std::ofstream(dir / "notes.txt") << "not a backup";
    CUnitBackup::Images images;
    CTavikDoc factory; // its sheets give every block the unit's factory image
    factory.OnNewDocument();
    for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
        CBrantSetupType* setup = factory.GetZemUnit()->GetSetupType(type);
        images[static_cast<std::size_t>(type)].resize(static_cast<std::size_t>(setup->GetNumTransBlocks()));
        for (std::size_t b = 0; b < images[static_cast<std::size_t>(type)].size(); ++b)
            setup->FillBlock(static_cast<int>(b), images[static_cast<std::size_t>(type)][b].data());
    }
    const auto backups = [&dir] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(dir))
            count += entry.path().extension() == ".zmg";
        return count;
    };
    CUnitBackup backup;
    backup.KeepInFolder(dir.string());
    std::string error;
    ASSERT_TRUE(backup.Keep(images, error)) << error;
    EXPECT_EQ(backups(), CUnitBackup::kMaxKept) << "one more than the folder keeps: the oldest went";
    const std::string first = backup.GetPath();
    ASSERT_TRUE(backup.Keep(images, error)) << error;
    EXPECT_NE(backup.GetPath(), first) << "a second backup in the same second";
    EXPECT_TRUE(fs::exists(first) && fs::exists(backup.GetPath()));
    std::string loadError;
    EXPECT_TRUE(factory.LoadFromBytes(ReadFile(first), loadError)) << loadError;
    EXPECT_EQ(fs::path(first).filename().string().substr(0, 7), "unit-1-")
        << "after the unit's device number";
    EXPECT_EQ(backups(), CUnitBackup::kMaxKept);
    EXPECT_FALSE(fs::exists(dir / "unit-7-20200101-120000.zmg")) << "the oldest went";
    EXPECT_TRUE(fs::exists(dir / "notes.txt"));
    fs::remove_all(dir);
}

// A pause, asked for as the progress window asks for it, at 200 random moments of uploads and downloads:
// from the moment the worker is confirmed held until the pause is lifted, nothing is sent to the unit.
TEST_F(TransferReadFirst, TwoHundredRandomPausesKeepTheLineQuiet) {
    constexpr int kPauses = 200;
    TransferWaits::SetBlockWaitMsForTests(2);
    AlarmsOnInput({1});
    Edit(SETUP_ALARM, 1, ALM_COL_TEXT, "PUMP");
    std::mt19937 random(2612);
    int confirmed = 0;
    for (int round = 0; confirmed < kPauses && round < 100 && !HasFailure(); ++round) {
        const int direction = round % 3 == 2 ? 1 : 0;
        unit->SetWriteAllBlocks(round % 3 == 1); // some uploads write every block
        log.Clear();
        if (direction) unit->Initialize();
        ASSERT_EQ(direction ? unit->DownloadData() : unit->UploadData(), 1);
        const Clock::time_point limit = Clock::now() + kHangLimit;
        while (!unit->IsTransEnd() && Clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
            unit->PauseTransfer();
            while (!unit->IsTransferHeld() && !unit->IsTransEnd() && Clock::now() < limit)
                std::this_thread::yield();
            if (unit->IsTransferHeld()) {
                log.Mark('[');
                ++confirmed;
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
                log.Mark(']');
            }
            unit->ResumeTransfer();
        }
        WaitForEnd();
        EXPECT_EQ(unit->GetTransferResult(), 1) << unit->GetTransferError();
        const std::string events = log.Events();
        for (std::size_t open = events.find('['); open != std::string::npos;
             open = events.find('[', open + 1))
            ASSERT_EQ(events[open + 1], ']') << "a message went out while the worker was held: " << events;
    }
    EXPECT_GE(confirmed, kPauses);
}

} // namespace
