// Points per second of the two hot stages: evaluating the response on a
// linear grid, and formatting the table text (against snprintf per row).
#include <cstdint>
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
    evaluateResponse(sts2Model(), table, npoints, 0.001, 20.0, false, ResponseKind{});
    return table;
}

void evaluation(benchmark::State& state)
{
    const PoleZeroModel model = sts2Model();
    const int npoints = static_cast<int>(state.range(0));
    FapTable table;
    for (auto _ : state) {
        evaluateResponse(model, table, npoints, 0.001, 20.0, false, ResponseKind{});
        benchmark::DoNotOptimize(table.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(table.rows.size()));
}

void tableText(benchmark::State& state)
{
    const FapTable table = evaluated(static_cast<int>(state.range(0)));
    std::string text;
    for (auto _ : state) {
        text.clear();
        text.reserve(tableBytesPerRow * table.rows.size() + tableBytesPerRow);
        formatFapTable(table, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(table.rows.size()));
}

// The baseline: one snprintf call per row.
void tableTextSnprintf(benchmark::State& state)
{
    const FapTable table = evaluated(static_cast<int>(state.range(0)));
    std::string text;
    for (auto _ : state) {
        text.clear();
        text.reserve(tableBytesPerRow * table.rows.size() + tableBytesPerRow);
        char line[128];
        std::snprintf(line, sizeof line, "%zu\n", table.rows.size());
        text += line;
        for (const FapPoint& row : table.rows) {
            const int length = std::snprintf(line, sizeof line, "%12.7lf  %10.7le %10.7lf\n", row.frequency,
                                             row.amplitude, row.phase);
            text.append(line, static_cast<std::size_t>(length));
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(table.rows.size()));
}

BENCHMARK(evaluation)->RangeMultiplier(10)->Range(1000, 10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(tableText)->RangeMultiplier(10)->Range(1000, 10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(tableTextSnprintf)->RangeMultiplier(10)->Range(1000, 10'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kalvert::bench

BENCHMARK_MAIN();
