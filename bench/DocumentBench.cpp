// Loading and saving a full document: what Open and Save cost a technician.
#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <benchmark/benchmark.h>

namespace {
// A document with every sheet in use: inputs active, logical inputs and alarms referring to them.
std::vector<std::uint8_t> ConfiguredDocument(CTavikDoc& doc) {
    CScriptedPrompt prompt(true);
    doc.OnNewDocument();
    CZemUnit& unit = *doc.GetZemUnit();
    unit.GetSetupType(0)->ValidateData(3, 1, "17");
    for (int row = 1; row <= 24; ++row)
        unit.GetSetupType(1)->ValidateData(row, 1, "20 mA");
    for (int row = 1; row <= 48; ++row)
        unit.GetSetupType(3)->ValidateData(row, 1, row % 2 ? "IN 11" : "IN 12");
    return doc.SaveToBytes();
}
} // namespace

static void BM_LoadDocument(benchmark::State& state) {
    CTavikDoc doc;
    const std::vector<std::uint8_t> bytes = ConfiguredDocument(doc);
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.LoadFromBytes(bytes, error));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMicrosecond);

static void BM_SaveDocument(benchmark::State& state) {
    CTavikDoc doc;
    const std::size_t size = ConfiguredDocument(doc).size();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.SaveToBytes());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMicrosecond);

static void BM_NewDocument(benchmark::State& state) {
    CTavikDoc doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.OnNewDocument());
}
BENCHMARK(BM_NewDocument)->Unit(benchmark::kMicrosecond);
