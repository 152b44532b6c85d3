// SPDX-License-Identifier: MIT
// Load and save of a full 68-map catalogue through the real file services, and the pure text
// work alone. Saving is bound by the flushes to disk that make it crash-safe.
#include <benchmark/benchmark.h>

#include "catalogue/database.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

State full_catalogue() {
    State state = first_run_record();
    for (int i = 0; i < kSlots; ++i) {
        state.maps[i].mapname = "user map number " + std::to_string(i) + ", final.map";
        state.maps[i].mapnum = static_cast<std::int16_t>(i);
    }
    state.selected_map = 12;
    return state;
}

void BM_LoadFullCatalogue(benchmark::State& bench) {
    testing::TempFolder folder;
    folder.write(kDatabaseFile, format_database(full_catalogue(), Numbering::ByMapnum));
    HeadlessServices services(folder.str());
    for (auto _ : bench) {
        State state;
        load_database(state, services);
        benchmark::DoNotOptimize(state);
    }
    if (!services.messages.empty())
        bench.SkipWithError("the load showed a message");
}
BENCHMARK(BM_LoadFullCatalogue)->Unit(benchmark::kMicrosecond);

// Saves the full catalogue again and again in the folder.
void save_repeatedly(benchmark::State& bench, const testing::TempFolder& folder) {
    HeadlessServices services(folder.str());
    State state = full_catalogue();
    for (auto _ : bench)
        benchmark::DoNotOptimize(write_database(state, Numbering::ByMapnum, services));
    if (!services.messages.empty())
        bench.SkipWithError("the save showed a message");
}

void BM_SaveFullCatalogue(benchmark::State& bench) {
    testing::TempFolder folder;
    save_repeatedly(bench, folder);
}
BENCHMARK(BM_SaveFullCatalogue)->Unit(benchmark::kMicrosecond);

// The same save in a game folder holding many other files: its cost must not grow with them.
void BM_SaveAmongFiles(benchmark::State& bench) {
    testing::TempFolder folder;
    for (int64_t i = 0; i < bench.range(0); ++i) {
        std::string name = "f";  // appended piece by piece: GCC 12 warns falsely on "f" + string
        name += std::to_string(i);
        name += ".map";
        folder.write(name, "");
    }
    save_repeatedly(bench, folder);
}
BENCHMARK(BM_SaveAmongFiles)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ParseFullCatalogue(benchmark::State& bench) {
    std::string text = format_database(full_catalogue(), Numbering::ByMapnum);
    for (auto _ : bench)
        benchmark::DoNotOptimize(parse_database(text));
    bench.SetBytesProcessed(bench.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseFullCatalogue)->Unit(benchmark::kMicrosecond);

void BM_FormatFullCatalogue(benchmark::State& bench) {
    State state = full_catalogue();
    for (auto _ : bench)
        benchmark::DoNotOptimize(format_database(state, Numbering::ByMapnum));
}
BENCHMARK(BM_FormatFullCatalogue)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dorvane
