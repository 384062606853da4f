// Points per second of the two hot stages: evaluating the response on a
// linear grid, and formatting the table text (against snprintf per row).
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "fap/fap_table.hpp"
#include "response/evaluation.hpp"
#include "sts2_model.hpp"

namespace kalvert::bench {
namespace {

FapTable evaluated(int npoints)
{
    FapTable table;
    evaluateResponse(sts2Model(), table, npoints, 0.001, 20.0, false, "1", "GSE2");
    return table;
}

void evaluation(benchmark::State& state)
{
    const PoleZeroModel model = sts2Model();
    const int npoints = static_cast<int>(state.range(0));
    FapTable table;
    for (auto _ : state) {
        evaluateResponse(model, table, npoints, 0.001, 20.0, false, "1", "GSE2");
        benchmark::DoNotOptimize(table.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * table.count);
}

void tableText(benchmark::State& state)
{
    const FapTable table = evaluated(static_cast<int>(state.range(0)));
    std::string text;
    for (auto _ : state) {
        text.clear();
        text.reserve(tableBytesPerRow * static_cast<std::size_t>(table.count) + tableBytesPerRow);
        formatFapTable(table, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * table.count);
}

// The baseline: one snprintf call per row.
void tableTextSnprintf(benchmark::State& state)
{
    const FapTable table = evaluated(static_cast<int>(state.range(0)));
    std::string text;
    for (auto _ : state) {
        text.clear();
        text.reserve(tableBytesPerRow * static_cast<std::size_t>(table.count) + tableBytesPerRow);
        char line[128];
        std::snprintf(line, sizeof line, "%d\n", table.count);
        text += line;
        for (const FapPoint& row : table.rows) {
            const int length = std::snprintf(line, sizeof line, "%12.7lf  %10.7le %10.7lf\n", row.frequency,
                                             row.amplitude, row.phase);
            text.append(line, static_cast<std::size_t>(length));
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * table.count);
}

BENCHMARK(evaluation)->RangeMultiplier(10)->Range(1000, 10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(tableText)->RangeMultiplier(10)->Range(1000, 10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(tableTextSnprintf)->RangeMultiplier(10)->Range(1000, 10'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kalvert::bench

BENCHMARK_MAIN();
