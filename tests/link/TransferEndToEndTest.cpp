// Uploads and downloads through the real serial library over a pseudo-terminal, against the simulated
// Zemra-30 running on its own thread in this process.
#include "link/CComSetupDialog.h"
#include "link/CScriptedComSetupUI.h"
#include "link/ITransferTrace.h"
#include "link/ITransferUI.h"
#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "sheets/alarms/AlarmTables.h"
#include "support/SimulatedUnit.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// Short pauses make a download take under two seconds instead of nine.
constexpr int kShortWaitMs = 20;
// A transfer that has not ended by then hangs: the test fails and stops it instead of waiting forever.
constexpr auto kHangLimit = std::chrono::seconds(90);

// --- The wire form, written out here so that the driver's framing is checked against an independent copy.

// A request, or with data the unit's answer.
Bytes Wire(char code, int address, const CZemraMemory::Block* data = nullptr) {
    std::vector<int> values{address, code + address}; // then the checksum, then the data
    for (std::size_t i = 0; data && i < data->size(); ++i) {
        values[1] += (*data)[i];
        values.push_back((*data)[i]);
    }
    Bytes msg{'#', static_cast<std::uint8_t>(code)};
    for (int value : values) {
        msg.push_back(static_cast<std::uint8_t>(0x30 + ((value >> 4) & 0x0F)));
        msg.push_back(static_cast<std::uint8_t>(0x30 + (value & 0x0F)));
    }
    msg.push_back('$');
    return msg;
}

std::string Printable(const Bytes& bytes) {
    return CZemraSimulator::Printable(bytes.data(), bytes.size());
}

// --- What the driver shows the world during a transfer.

struct TracedMessage {
    bool sent;
    Bytes bytes;
    std::string title; // the unit's transfer title when the message went out or came in
};

// Every request of a download in unit order, each answered with the block as `memory` holds it: 8 general
// constants, 31 inputs (the 7 logical ones behind the 24 physical ones) and 48 alarms.
void ExpectDownloadOf(const std::vector<TracedMessage>& messages, const CZemraMemory& memory) {
    ASSERT_EQ(messages.size(), 2u * 87) << "one request and one answer per block";
    for (int i = 0; i < 87; ++i) {
        const int address = i < 8 ? i : i < 39 ? i - 8 : i - 39;
        const char code = i < 8 ? 'B' : i < 39 ? '@' : 'A';
        const ZemBank bank = i < 8 ? ZemBank::General : i < 39 ? ZemBank::Input : ZemBank::Alarm;
        SCOPED_TRACE(std::string(1, code) + " " + std::to_string(address));
        const TracedMessage& request = messages[2 * static_cast<std::size_t>(i)];
        const TracedMessage& answer = messages[2 * static_cast<std::size_t>(i) + 1];
        EXPECT_TRUE(request.sent && !answer.sent);
        EXPECT_EQ(Printable(request.bytes), Printable(Wire(code, address)));
        EXPECT_EQ(Printable(answer.bytes), Printable(Wire(code, address, memory.Get(bank, address))));
    }
}

// What the driver shows the world during a transfer, and a user who answers the retry question from a
// script (Cancel once it is used up).
class Recorder : public ITransferTrace, public ITransferUI {
public:
    struct Question {
        std::string message, reason;
        unsigned long count;      // bytes moved when asked
        std::size_t tracedBefore; // messages traced before the question
    };
    CZemUnit* unit = nullptr; // whose transfer title goes with each message
    std::vector<bool> answers;
    int thinkMs =
        8 * kShortWaitMs; // a person takes a moment to answer; a program retrying by itself does not
    std::function<void(const TracedMessage&)> onMessage; // runs on the worker thread; set before the transfer

    // Both run on the worker thread only; the test reads what they noted once the worker has ended.
    void OnMessage(bool sent, const std::uint8_t* data, int count) override {
        messages.push_back({sent, Bytes(data, data + count), unit ? unit->GetTransTitle() : ""});
        if (onMessage) onMessage(messages.back());
    }
    std::function<void(std::size_t)> onAsk; // runs on the worker thread with the number of the question
    bool AskRetry(const std::string& message, const std::string& reason) override {
        questions.push_back({message, reason, CBrantSetupType::ReadProgressData(), messages.size()});
        if (onAsk) onAsk(questions.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(thinkMs));
        return questions.size() <= answers.size() && answers[questions.size() - 1];
    }

    std::vector<TracedMessage> messages;
    std::vector<Question> questions;
};

class TransferEndToEnd : public ::testing::Test {
protected:
    TransferEndToEnd() {
        TransferWaits::SetBlockWaitMsForTests(kShortWaitMs);
        doc.OnNewDocument();
        unit = doc.GetZemUnit();
        unit->GetComSetup()->SetUI(&portUI);
        unit->SetTransferUI(&rec);
        // The plain sequence of writes; reading the unit first is tested on its own.
        unit->SetWriteAllBlocks(true);
        rec.unit = unit;
        CBrantSetupType::SetTrace(&rec);
    }
    ~TransferEndToEnd() override {
        unit->StopTransfer();
        unit->JoinWorker();
        CBrantSetupType::SetTrace(nullptr);
        TransferWaits::SetBlockWaitMsForTests(TransferWaits::UNIT_BLOCK_WAIT_MS);
    }

    // Starts the simulated unit with the faults given ("alarm/3:noanswer:2") and points the port at it.
    void StartUnit(const std::vector<std::string>& faults = {}) {
        for (const std::string& fault : faults)
            simulated.AddFault(fault);
        simulated.Sim().SetLateDelayMs(lateDelayMs);
        simulated.Start();
        portUI.AnswerPortName(simulated.Path());
    }

    // Waits for the worker to end. A hanging transfer fails the test and is stopped.
    bool WaitForEnd() {
        const Clock::time_point limit = Clock::now() + kHangLimit;
        while (!unit->IsTransEnd() && Clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_TRUE(unit->IsTransEnd()) << "the transfer did not end";
        if (!unit->IsTransEnd()) unit->StopTransfer();
        unit->JoinWorker();
        return unit->IsTransEnd() != 0;
    }

    // Runs a whole transfer (0 upload, 1 download) with the total taken first.
    void Transfer(int direction) {
        total = unit->GetTotalTransBytes(direction);
        ASSERT_EQ(direction == 0 ? unit->UploadData() : unit->DownloadData(), 1)
            << "the port could not be set up";
        ASSERT_TRUE(WaitForEnd());
    }

    void ExpectSucceeded() {
        EXPECT_EQ(unit->GetTransferResult(), 1) << unit->GetTransferError();
        EXPECT_EQ(unit->GetTransferError(), "");
        EXPECT_EQ(unit->GetCurSendedNumBytes(), total) << "progress ends exactly at the total";
    }

    // A configuration that differs from the defaults in every sheet. Texts and delays are written as the
    // unit gives them back: it keeps a display text as 10 characters padded with spaces, and a delay as a
    // count of a time unit ("45", not "45.0").
    void ChangeEverySheet() {
        CBrantSetupType& general = *unit->GetSetupType(SETUP_GENERAL);
        CBrantSetupType& physical = *unit->GetSetupType(SETUP_PHYSICAL_INPUT);
        CBrantSetupType& logical = *unit->GetSetupType(SETUP_LOGICAL_INPUT);
        CBrantSetupType& alarm = *unit->GetSetupType(SETUP_ALARM);
        // clang-format off
        const struct { CBrantSetupType& sheet; int row, col; const char* text; } edits[] = {
            {general, 3, 1, "17"}, {general, 11, 1, "+REF"}, {general, 14, 1, "2.5"},
            {physical, 1, 1, "24 V"}, {physical, 1, 2, "bar"}, {physical, 1, 4, "-5"},
            {physical, 1, 6, "250"}, {physical, 2, 1, "20 mA"}, {physical, 2, 2, "\xB0" "C"},
            {physical, 2, 6, "100"}, {logical, 1, 1, "IN 11"}, {alarm, 1, ALM_COL_INPREF, "IN 11"},
            {alarm, 1, ALM_COL_DYNREF, "LOG1"}, {alarm, 1, ALM_COL_SIGN, "\xB1"},
            {alarm, 1, ALM_COL_SETPOINT, "42.5"}, {alarm, 1, ALM_COL_TEXT, "LEVEL HIGH"},
            {alarm, 1, ALM_COL_DELAY, "45"}, {alarm, 48, ALM_COL_INPREF, "IN 12"},
            {alarm, 48, ALM_COL_DELAY, "3600"}, {alarm, 48, ALM_COL_OUTPUT, "9"},
            {alarm, 48, ALM_COL_TEXT, "PRESSURE 2"}};
        // clang-format on
        for (const auto& e : edits)
            ASSERT_TRUE(e.sheet.ValidateData(e.row, e.col, e.text)) << e.row << "/" << e.col << " " << e.text;
    }

    // Declared first, so the unit closes its port before the terminal goes away.
    SimulatedUnit simulated;
    CScriptedPrompt prompt{true};
    Recorder rec;
    CScriptedComSetupUI portUI;
    CTavikDoc doc;
    CZemUnit* unit = nullptr;
    unsigned long total = 0;
    int lateDelayMs = 5 * kShortWaitMs;
};

// --- Good transfers.

TEST_F(TransferEndToEnd, DownloadRequestsEveryBlockInUnitOrderAndARetryCompletesTheWholeTransfer) {
    StartUnit({"alarm/40:noanswer:1"});
    rec.answers = {true};
    // The progress window opens once the worker runs and takes the total only then.
    ASSERT_EQ(unit->DownloadData(), 1);
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(10);
    while (unit->GetCurSendedNumBytes() == 0 && !unit->IsTransEnd() && Clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(unit->GetCurSendedNumBytes(), 0u);
    total = unit->GetTotalTransBytes(1);
    ASSERT_TRUE(WaitForEnd());
    ExpectSucceeded(); // a failure that the retry overcame is no longer reported

    const std::vector<Recorder::Question> questions = rec.questions;
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].message, "Error to download Alarm data");
    const std::vector<TracedMessage> messages = rec.messages;
    EXPECT_EQ(questions[0].tracedBefore, 2u * (8 + 24 + 7 + 41)) << "General, the inputs and alarms 0..40";
    const std::vector<TracedMessage> retried(messages.begin() + 2 * (8 + 24 + 7 + 41), messages.end());
    ExpectDownloadOf(retried, CZemraMemory()); // the factory memory, untouched by a download
    EXPECT_EQ(retried[0].title, "General") << "the progress title follows the setup type";
}

// Upload: every block written, read back and compared; the unit then gives the configuration back.
TEST_F(TransferEndToEnd, UploadWritesEveryBlockAndADownloadGivesTheConfigurationBack) {
    StartUnit();
    ChangeEverySheet();
    const Bytes edited = doc.SaveToBytes();
    Transfer(0);
    ExpectSucceeded();
    EXPECT_EQ(total, 13587u) << "General reads each block before writing it";
    EXPECT_EQ(doc.SaveToBytes(), edited) << "an upload leaves the configuration alone";

    // General: read, write, read back; every other block: write, read back.
    std::string codes;
    for (const TracedMessage& message : rec.messages)
        if (message.sent) codes.push_back(static_cast<char>(message.bytes[1]));
    std::string want;
    for (int b = 0; b < 8 + 31 + 48; ++b)
        want += b < 8 ? "BFB" : b < 39 ? "D@" : "EA";
    EXPECT_EQ(codes, want);

    // Download as the program does: back to the defaults first, then fill from the unit.
    unit->Initialize();
    ASSERT_NE(doc.SaveToBytes(), edited);
    Transfer(1);
    ExpectSucceeded();
    EXPECT_EQ(doc.SaveToBytes(), edited);
}

// --- A unit that misbehaves: every kind of failure names the setup type and the reason, and a retry
// starts the whole transfer again from General.

// A simulator fault that fires twice, the direction, the sheet named in the question ("Error to download
// General data"), the row and the reason the error names, and the message and block only a trace names.
struct FaultCase {
    const char *fault, *sheet, *where, *reason, *detail;
    int direction;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.fault;
}

class TransferFault : public TransferEndToEnd, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TransferFault, IsReportedAndRetriedFromGeneral) {
    const FaultCase& c = GetParam();
    const std::string question =
        std::string("Error to ") + (c.direction ? "download " : "upload ") + c.sheet + " data";
    StartUnit({c.fault});
    rec.answers = {true, false}; // Retry, then Cancel
    Transfer(c.direction);

    EXPECT_EQ(unit->GetTransferResult(), 0);
    const std::string reason = std::string(c.where) + ": " + c.reason;
    EXPECT_EQ(unit->GetTransferError().substr(0, question.size() + 2 + reason.size()),
              question + ": " + reason);
    EXPECT_THAT(unit->GetTransferError(), ::testing::Not(HasSubstr("message "))) << "protocol words";
    EXPECT_THAT(unit->GetTransferDetail(), StartsWith(c.detail));

    const std::vector<Recorder::Question> questions = rec.questions;
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].message, question);
    EXPECT_EQ(questions[1].message, question);
    EXPECT_THAT(questions[0].reason, StartsWith(reason)) << "the question tells where and why";
    EXPECT_GT(questions[0].count, 0u);
    EXPECT_EQ(questions[1].count, questions[0].count) << "the count starts again from 0 on Retry";

    // The retry begins with General's first block: a read in both directions.
    const std::vector<TracedMessage> messages = rec.messages;
    ASSERT_GT(messages.size(), questions[0].tracedBefore);
    EXPECT_EQ(Printable(messages[questions[0].tracedBefore].bytes), "#B0042$");
    EXPECT_EQ(messages.size(), questions[1].tracedBefore) << "nothing is sent after Cancel";
    EXPECT_EQ(questions[1].tracedBefore, 2 * questions[0].tracedBefore) << "the same way again";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryKind, TransferFault, ::testing::Values(
    FaultCase{"general/2:noanswer:2", "General", "General, block 3", "no answer", "message 66, block 2", 1},
    FaultCase{"logical/2:short:2", "Logical Input", "Logical Input LOG3 (1C)", "short answer of 70 bytes",
              "message 147, block 2", 1},
    FaultCase{"physical/5:long:2", "Physical Input", "Physical Input IN 23", "long answer",
              "message 64, block 5", 1},
    FaultCase{"general/6:checksum:2", "General", "General, block 7", "wrong checksum", "message 66, block 6", 1},
    FaultCase{"physical/0:late:2", "Physical Input", "Physical Input IN 11", "no answer", "message 64, block 0",
              1},
    FaultCase{"physical/2:flip:2", "Physical Input", "Physical Input IN 13",
              "read-back differs from what was written", "message 68, block 2", 0},
    FaultCase{"alarm/17:checksum:2", "Alarm", "Alarm 18 (A36)", "wrong checksum", "message 65, block 17", 1},
    FaultCase{"general/3:other:2", "General", "General, block 4", "the unit answered for another block",
              "message 66, block 3: answer for block 4 while block 3 was asked", 1},
    FaultCase{"logical/6:other:2", "Logical Input", "Logical Input LOG7 (3A)",
              "the unit answered for another block", "message 147, block 6: answer for block 7", 1},
    FaultCase{"physical/2:other:2", "Physical Input", "Physical Input IN 13",
              "the unit answered for another block", "message 64, block 2: answer for block 3", 0}));
// clang-format on

TEST_F(TransferEndToEnd, LateAnswersAreNeverTakenForALaterBlock) {
    // Every answer comes half a window late and so lands in the window of the next request. Retried at
    // once, a download that took whatever arrived would succeed with every block shifted by one.
    simulated.Sim().SetAnswerDelayMs(3 * kShortWaitMs / 2);
    StartUnit();
    rec.thinkMs = 0;
    rec.answers = {true, true, true};
    Transfer(1);

    EXPECT_EQ(unit->GetTransferResult(), 0) << "a late answer was taken for a later block";
    EXPECT_THAT(unit->GetTransferError(),
                ::testing::AnyOf(HasSubstr("no answer"), HasSubstr("short answer")));
    EXPECT_EQ(rec.questions.size(), 4u);
    for (const Recorder::Question& q : rec.questions)
        EXPECT_THAT(q.reason, ::testing::Not(HasSubstr("another block")))
            << "the line is quiet before a retry starts";
}

// --- Stopping and losing the port.

// A pause holds the worker after the block in hand (a written block read back first) and nothing goes out
// on the line until the user decides: going on completes the download, stopping ends the upload there.
TEST_F(TransferEndToEnd, APauseHoldsTheLineUntilTheTransferGoesOnOrStops) {
    StartUnit();
    for (const int direction : {1, 0}) {
        SCOPED_TRACE(direction ? "download" : "upload");
        const std::string pauseAt = direction ? "#@03" : "#D02"; // physical block 3 asked, block 2 written
        std::atomic<std::size_t> paused{0};
        rec.messages.clear();
        rec.onMessage = [&](const TracedMessage& m) {
            if (!m.sent || Printable(m.bytes).rfind(pauseAt, 0) != 0) return;
            paused = rec.messages.size();
            unit->PauseTransfer();
        };
        ASSERT_EQ(direction ? unit->DownloadData() : unit->UploadData(), 1);
        const Clock::time_point limit = Clock::now() + std::chrono::seconds(20);
        while (!unit->IsTransferHeld() && !unit->IsTransEnd() && Clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(unit->IsTransferHeld());
        const std::size_t requests = simulated.Requests();
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * kShortWaitMs));
        EXPECT_EQ(simulated.Requests(), requests) << "the unit heard nothing while the transfer was paused";
        direction ? unit->ResumeTransfer() : unit->StopTransfer();
        ASSERT_TRUE(WaitForEnd());

        EXPECT_EQ(unit->GetTransferResult(), direction) << unit->GetTransferError();
        EXPECT_TRUE(rec.questions.empty()) << "a stop asks nothing";
        if (direction) continue;
        EXPECT_THAT(unit->GetTransferError(), HasSubstr("stopped by the user"));
        const std::vector<TracedMessage> messages = rec.messages;
        ASSERT_EQ(messages.size(), paused + 2) << "the written block is read back, then nothing";
        EXPECT_EQ(Printable(messages[paused].bytes), Printable(Wire('@', 2)));
        EXPECT_EQ(messages.back().bytes.size(), 71u);
        EXPECT_EQ(unit->GetWrittenBlocks(), 8 + 3) << "General and three inputs went out";
    }
}

// The unit restarts (or the adapter is replugged) in the middle of a download: the port that went away is
// closed; a Retry while the unit is still away fails again, one after it is back under the same name
// opens the port again with its line settings and completes.
TEST_F(TransferEndToEnd, ARetryFindsAUnitThatCameBackUnderTheSameName) {
    const std::string link = ::testing::TempDir() + "zemra-link-" + std::to_string(::getpid());
    simulated.UseLink(link);
    portUI.AnswerLineSettings([](LynDcb& dcb) { dcb.BaudRate = 19200; });
    StartUnit();
    bool vanished = false;
    rec.onMessage = [&](const TracedMessage& m) {
        if (m.sent && m.bytes == Wire('@', 3) && !vanished) simulated.Vanish(), vanished = true;
    };
    rec.answers = {true, true};
    rec.onAsk = [&](std::size_t asked) {
        EXPECT_FALSE(unit->GetComSetup()->IsPortOpen()) << "a port that went away is closed";
        if (asked == 2) simulated.Start(); // back, on a new terminal under the same link
    };
    Transfer(1);

    ExpectSucceeded();
    ASSERT_EQ(rec.questions.size(), 2u);
    EXPECT_THAT(rec.questions[0].reason, StartsWith("Physical Input IN 21: port error"));
    EXPECT_THAT(rec.questions[1].reason, StartsWith("General, block 1: port error"));
    EXPECT_EQ(portUI.PortNameAsks(), 1) << "the port is found by its name, not asked for";
    LynDcb settings;
    ASSERT_TRUE(unit->GetComSetup()->GetPort()->GetCommState(settings));
    EXPECT_EQ(settings.BaudRate, 19200u) << "with the line settings it was set up with";

    // Restarted while nothing was sent: the next transfer finds it before its first request (an upload,
    // which purges less than a download).
    simulated.Restart();
    Transfer(0);
    ExpectSucceeded();
    EXPECT_EQ(rec.questions.size(), 2u) << "no question when the port is back before the first request";
    EXPECT_EQ(portUI.PortNameAsks(), 1);
}
// --- Soak: random faults and answer delays against a program that retries by itself. A transfer may fail;
// one that reports success has moved every block exactly.

constexpr int kSoakWaitMs = 6;
constexpr int kSoakRounds = 12;      // an upload, then a download, and so on
constexpr int kSoakPerMille = 5;     // of the requests and of the writes that misbehave
constexpr int kSoakRetries = 3;      // per transfer, answered at once
constexpr unsigned kSoakSeed = 1206; // TAVIK_SOAK_SEED replays another run

unsigned SoakSeed() {
    const char* text = std::getenv("TAVIK_SOAK_SEED");
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : kSoakSeed;
}

// Bank, address and data of a write message, read by the wire rules above; false for any other message.
bool DecodeWrite(const Bytes& msg, ZemBank& bank, int& address, CZemraMemory::Block& data) {
    const std::size_t code = msg.size() == 71 ? std::string("FDE").find(static_cast<char>(msg[1])) : 3;
    if (code > 2) return false;
    bank = static_cast<ZemBank>(code); // general, input, alarm
    const auto byteAt = [&msg](std::size_t at) {
        return static_cast<std::uint8_t>((msg[at] & 0x0F) << 4 | (msg[at + 1] & 0x0F));
    };
    address = byteAt(2);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = byteAt(6 + 2 * i);
    return true;
}

class TransferSoak : public TransferEndToEnd {
protected:
    TransferSoak() {
        TransferWaits::SetBlockWaitMsForTests(kSoakWaitMs);
        lateDelayMs = 2 * kSoakWaitMs; // late answers come up to two windows after the request
        rec.thinkMs = 0;
    }

    // The unit's memory, looked at while its thread is stopped; a fault may be added meanwhile.
    CZemraMemory UnitMemory(const ZemFault* addFault = nullptr) {
        simulated.Stop();
        CZemraMemory memory = simulated.Sim().Memory();
        if (addFault) simulated.Sim().Faults().Add(*addFault);
        simulated.Resume();
        return memory;
    }

    // A second configuration that the unit gives back as it was sent: the first with another device number.
    void ChangeSomeCells() {
        ChangeEverySheet();
        ASSERT_TRUE(unit->GetSetupType(SETUP_GENERAL)->ValidateData(3, 1, "5"));
    }

    // One transfer with automatic retries; the messages of its last attempt, and whether it succeeded.
    bool Run(int direction, std::vector<TracedMessage>& lastAttempt) {
        rec.messages.clear();
        rec.questions.clear();
        rec.answers = std::vector<bool>(kSoakRetries, true);
        Transfer(direction);
        const std::vector<Recorder::Question> questions = rec.questions;
        const std::vector<TracedMessage> messages = rec.messages;
        lastAttempt.assign(messages.begin() + static_cast<std::ptrdiff_t>(
                                                  questions.empty() ? 0 : questions.back().tracedBefore),
                           messages.end());
        if (unit->GetTransferResult()) {
            EXPECT_EQ(unit->GetTransferError(), "")
                << "a failure that a retry overcame is no longer the result";
            return true;
        }
        EXPECT_THAT(unit->GetTransferError(),
                    StartsWith(direction ? "Error to download " : "Error to upload "));
        return false;
    }
};

TEST_F(TransferSoak, RandomFaultsNeverEndInAFalseSuccess) {
    const unsigned seed = SoakSeed();
    simulated.Sim().Faults().SetRandom(seed, kSoakPerMille);
    StartUnit();
    const Clock::time_point start = Clock::now();
    unit->Initialize();
    ChangeEverySheet();
    const Bytes edited = doc.SaveToBytes();
    unit->Initialize();
    ChangeSomeCells();
    const Bytes other = doc.SaveToBytes();
    // Besides the random ones, one fault of each kind per two rounds, at a block drawn at random.
    using K = ZemFaultKind;
    const K uploadKinds[] = {K::FlipBit,    K::NoStore,  K::OtherBlock,
                             K::LateAnswer, K::NoAnswer, K::BadChecksum};
    const K downloadKinds[] = {K::ShortAnswer, K::LongAnswer,  K::LateAnswer,
                               K::OtherBlock,  K::BadChecksum, K::NoAnswer};
    std::mt19937 random(seed);

    std::optional<Bytes> unitHolds; // the document the unit's memory was last made from in one piece
    int succeeded = 0;
    for (int round = 0; round < kSoakRounds && !HasFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round) + " of seed " + std::to_string(seed));
        const int direction = round % 2;
        const bool sendEdited = round % 4 == 0;
        unit->Initialize();
        if (direction == 0) sendEdited ? ChangeEverySheet() : ChangeSomeCells();
        const ZemBank bank = static_cast<ZemBank>(random() % 3);
        const int address = static_cast<int>(
            random() %
            (bank == ZemBank::Input ? 31u : static_cast<unsigned>(CZemraMemory::BlockCount(bank))));
        // Indexed apart: GCC's bounds sanitizer misreads an index into a conditional array expression.
        const ZemFaultKind kind = direction ? downloadKinds[round / 2 % 6] : uploadKinds[round / 2 % 6];
        const ZemFault fault{bank, address, address, kind, 1};
        const CZemraMemory before = UnitMemory(&fault);
        std::vector<TracedMessage> attempt;
        if (!Run(direction, attempt)) {
            if (direction == 0) unitHolds.reset();
            continue;
        }
        ++succeeded;
        const CZemraMemory after = UnitMemory();
        if (direction == 0) {
            // The last attempt wrote every block; the unit must hold exactly what it wrote.
            CZemraMemory expected = before;
            int writes = 0;
            for (const TracedMessage& m : attempt) {
                ZemBank bank{};
                int address = 0;
                CZemraMemory::Block data{};
                if (m.sent && DecodeWrite(m.bytes, bank, address, data)) {
                    expected.Put(bank, address, data);
                    ++writes;
                }
            }
            EXPECT_EQ(writes, 87);
            EXPECT_TRUE(after == expected) << "an upload reported success; the unit differs";
            unitHolds = sendEdited ? edited : other;
            continue;
        }
        // Every answer taken is the requested block as the unit holds it, and so is the document.
        ExpectDownloadOf(attempt, after);
        if (unitHolds) {
            EXPECT_EQ(doc.SaveToBytes(), *unitHolds) << "the download differs from the upload";
        }
    }
    simulated.Stop();

    unsigned long fired = 0;
    for (int k = 0; k < ZEM_FAULT_KIND_COUNT; ++k)
        fired += simulated.Sim().Faults().FiredCount(static_cast<ZemFaultKind>(k));
    std::printf("transfer soak, seed %u: %d of %d transfers succeeded, %lu faults, %.1f s\n", seed, succeeded,
                kSoakRounds, fired, std::chrono::duration<double>(Clock::now() - start).count());
    EXPECT_GT(fired, 0u) << "the soak met no fault";
    EXPECT_GT(succeeded, 0) << "the soak proved nothing";
}

// --- The unit's own pauses, 100 ms after each message: one download at that pace (about 9 s). The ctest
// label "realtime" runs it alone; every other transfer test takes short pauses.

using TransferRealTime = TransferEndToEnd;

TEST_F(TransferRealTime, DownloadKeepsTheUnitsPauses) {
    TransferWaits::SetBlockWaitMsForTests(TransferWaits::UNIT_BLOCK_WAIT_MS);
    StartUnit();
    const Clock::time_point start = Clock::now();
    Transfer(1);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ExpectSucceeded();
    EXPECT_EQ(rec.messages.size(), 2u * 87);
    EXPECT_GE(seconds, 87 * TransferWaits::UNIT_BLOCK_WAIT_MS / 1000.0) << "a pause after every request";
    RecordProperty("seconds", std::to_string(seconds));
}

} // namespace
