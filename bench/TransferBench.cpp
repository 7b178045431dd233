// Transfers against the simulated unit at the protocol's own pauses (100 ms per block read, 300 ms per block
// written): a download, the plain upload that writes every block, and uploads that read the unit first and
// write what differs. Each takes 9 to 36 s, so CI builds this program but does not run it:
//
//     build/release/bench/TransferBench
//
// The floors: a download 87 x 100 ms = 8.7 s; the plain upload 87 x 300 ms + 8 x 100 ms = 26.9 s.
#include "link/CComSetupDialog.h"
#include "link/CScriptedComSetupUI.h"
#include "link/TransferWaits.h"
#include "model/CBrantSetupType.h"
#include "sheets/alarms/AlarmTables.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "tools/zemra-sim/CZemraSimServer.h"
#include "tools/zemra-sim/CZemraSimulator.h"
#include "unit/CTavikDoc.h"
#include "unit/CUnitBackup.h"
#include "unit/CZemUnit.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

// The simulated unit on a pseudo-terminal, served on a thread of its own, and a document with its port.
class Bench {
public:
    Bench() {
        std::string error;
        if (!m_pty.Open(error)) throw std::runtime_error(error);
        m_server = std::make_unique<CZemraSimServer>(m_sim, m_pty.MasterFd());
        m_thread = std::thread([this] {
            std::string ignored;
            m_server->Run(ignored);
        });
        m_doc.OnNewDocument();
        m_ui.AnswerPortName(m_pty.SlavePath());
        Unit().GetComSetup()->SetUI(&m_ui);
        m_backup.KeepInFile((std::filesystem::temp_directory_path() / "tavik-bench-backup.zmg").string());
    }
    ~Bench() {
        m_server->Stop();
        m_thread.join();
    }
    CZemUnit& Unit() { return *m_doc.GetZemUnit(); }
    CBrantSetupType& Alarms() { return *Unit().GetSetupType(SETUP_ALARM); }

    // One transfer; false when it failed.
    bool Run(int direction, bool writeAll, bool backup) {
        Unit().SetWriteAllBlocks(writeAll);
        Unit().SetUploadBackup(backup ? &m_backup : nullptr);
        if (!(direction ? Unit().DownloadData() : Unit().UploadData())) return false;
        while (!Unit().IsTransEnd())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Unit().JoinWorker();
        return Unit().GetTransferResult() == 1;
    }
    // The configuration the unit holds: IN 11 a 20 mA input shown up to 100, alarm 1 on it at `setPoint`.
    void Configure(const char* setPoint) {
        Unit().GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(1, 1, "20 mA");
        Unit().GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(1, 6, "100");
        Alarms().ValidateData(1, ALM_COL_INPREF, "IN 11");
        Alarms().ValidateData(1, ALM_COL_SETPOINT, setPoint);
    }

private:
    CZemraSimulator m_sim;
    CPseudoTerminal m_pty;
    std::unique_ptr<CZemraSimServer> m_server;
    std::thread m_thread;
    CScriptedComSetupUI m_ui;
    CTavikDoc m_doc;
    CUnitBackup m_backup;
};

Bench& Shared() {
    static Bench bench;
    return bench;
}

// After the transfer: whether it went through, and how many blocks it wrote.
void Report(benchmark::State& state, Bench& bench, bool ok) {
    if (!ok) state.SkipWithError("the transfer failed");
    state.counters["blocks_written"] = bench.Unit().GetBlocksWritten();
}

void BM_Download(benchmark::State& state) {
    Bench& bench = Shared();
    for (auto _ : state)
        Report(state, bench, bench.Run(1, false, false));
}

// Every block written, without reading the unit first: the upload as it was.
void BM_UploadPlain(benchmark::State& state) {
    Bench& bench = Shared();
    for (auto _ : state)
        Report(state, bench, bench.Run(0, true, false));
}

void BM_UploadAlreadyHeld(benchmark::State& state) {
    Bench& bench = Shared();
    bench.Configure("40");
    bench.Run(0, false, false);
    for (auto _ : state)
        Report(state, bench, bench.Run(0, false, true));
}

void BM_UploadOneSetPoint(benchmark::State& state) {
    Bench& bench = Shared();
    bench.Configure("40");
    bench.Run(0, false, false);
    bool high = false;
    for (auto _ : state) {
        state.PauseTiming();
        bench.Alarms().ValidateData(1, ALM_COL_SETPOINT, (high = !high) ? "41" : "40");
        state.ResumeTiming();
        Report(state, bench, bench.Run(0, false, true));
    }
}

// Every block differs: read, kept, then all 87 written and read back (the same exchanges as --all-blocks).
void BM_UploadEveryBlock(benchmark::State& state) {
    Bench& bench = Shared();
    for (auto _ : state)
        Report(state, bench, bench.Run(0, true, true));
}

BENCHMARK(BM_Download)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_UploadPlain)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_UploadAlreadyHeld)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_UploadOneSetPoint)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_UploadEveryBlock)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
