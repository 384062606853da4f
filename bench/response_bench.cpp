// Per-stage figures: evaluating the response (one frequency at a time, and
// several side by side as the tool does) and formatting table rows (the
// tool's writer against one snprintf per row).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

#include "writers/fap/fap_table.hpp"
#include "response/evaluation.hpp"
#include "sts2_model.hpp"
#include "support/test_support.hpp"

namespace kalvert::bench {
namespace {

std::vector<double> linearGrid(int npoints)
{
    return testing::linearGrid(0.001, 20.0, npoints);
}

void evaluationOneAtATime(benchmark::State& state)
{
    const PreparedResponse response = prepareResponse(sts2Model(), ResponseKind{});
    const std::vector<double> frequencies = linearGrid(static_cast<int>(state.range(0)));
    std::vector<FapPoint> rows(frequencies.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < frequencies.size(); ++i) {
            const Complex h = transferFunction(frequencies[i], response.model);
            rows[i] = {frequencies[i], std::hypot(h.re, h.im) * response.model.constant * response.unitScale,
                       std::atan2(h.im, h.re)};
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows.size()));
}

void evaluationInterleaved(benchmark::State& state)
{
    const PreparedResponse response = prepareResponse(sts2Model(), ResponseKind{});
    const std::vector<double> frequencies = linearGrid(static_cast<int>(state.range(0)));
    std::vector<FapPoint> rows(frequencies.size());
    for (auto _ : state) {
        evaluatePoints(response, frequencies.data(), frequencies.size(), rows.data());
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows.size()));
}

std::vector<FapPoint> evaluatedRows(int npoints)
{
    return testing::evaluateGrid(sts2Model(), GridRequest{0.001, 20.0, npoints, false}, ResponseKind{});
}

void tableRows(benchmark::State& state)
{
    const std::vector<FapPoint> rows = evaluatedRows(static_cast<int>(state.range(0)));
    std::vector<char> text(rows.size() * maxTableRowLength);
    for (auto _ : state) {
        char* end = text.data();
        for (const FapPoint& row : rows) end = writeTableRow(end, row);
        benchmark::DoNotOptimize(end);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows.size()));
}

// The baseline: one snprintf call per row.
void tableRowsSnprintf(benchmark::State& state)
{
    const std::vector<FapPoint> rows = evaluatedRows(static_cast<int>(state.range(0)));
    std::vector<char> text(rows.size() * maxTableRowLength);
    for (auto _ : state) {
        char* end = text.data();
        for (const FapPoint& row : rows)
            end += std::snprintf(end, maxTableRowLength, "%12.7lf  %10.7le %10.7lf\n", row.frequency, row.amplitude,
                                 row.phase);
        benchmark::DoNotOptimize(end);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows.size()));
}

BENCHMARK(evaluationOneAtATime)->Arg(8192)->Unit(benchmark::kMicrosecond);
BENCHMARK(evaluationInterleaved)->Arg(8192)->Unit(benchmark::kMicrosecond);
BENCHMARK(tableRows)->Arg(8192)->Unit(benchmark::kMicrosecond);
BENCHMARK(tableRowsSnprintf)->Arg(8192)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kalvert::bench

BENCHMARK_MAIN();
