// SPDX-License-Identifier: GPL-3.0-or-later
//
// The cost of a titration: a whole "Run pH model" click on the start-up water, the same
// expressed per solver pass, and a long run through pure water.
#include "ui/main_form.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using phbuffer::ui::TpHmainForm;

/// "Run pH model" on the medium preset (pH 7.80 to 4.50): about 3,300 acid steps.
/// The "pass" counter is the time per solver pass.
void BM_MediumRun(benchmark::State& state) {
    TpHmainForm form;
    form.DecimalSeparator = U'.';
    form.FormShow(&form);
    std::uint64_t passes = 0;
    for (auto _ : state) {
        form.ReadGrids(&form);
        form.RunModel(&form);
        benchmark::DoNotOptimize(form.TitrationSeries.points.data());
    }
    // one more run outside the timing, for the pass count
    form.ReadGrids(&form);
    const auto outcome = phbuffer::model::runTitration(form.State, form.TitrationSeries,
                                                       form.BufferStrengthSeries, nullptr);
    passes = outcome.solverPasses;
    state.counters["steps"] = outcome.StepCount;
    state.counters["passes"] = static_cast<double>(passes);
    state.counters["pass"] = benchmark::Counter(static_cast<double>(passes),
                                                benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}
BENCHMARK(BM_MediumRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);

/// Pure water from pH 7 to 1: about 100,000 acid steps through the steepest curve.
void BM_PureWaterLongRun(benchmark::State& state) {
    TpHmainForm form;
    form.DecimalSeparator = U'.';
    form.FormShow(&form);
    for (int r = 1; r <= 9; ++r)
        form.StringGrid1.Cells(1, r) = QStringLiteral("0");
    form.StringGrid2.Cells(1, 0) = QStringLiteral("7");
    form.StringGrid2.Cells(1, 3) = QStringLiteral("1");
    std::uint64_t passes = 0;
    for (auto _ : state) {
        form.ReadGrids(&form);
        const auto outcome = phbuffer::model::runTitration(form.State, form.TitrationSeries,
                                                           form.BufferStrengthSeries, nullptr);
        passes = outcome.solverPasses;
        state.counters["steps"] = outcome.StepCount;
    }
    state.counters["pass"] = benchmark::Counter(static_cast<double>(passes),
                                                benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}
BENCHMARK(BM_PureWaterLongRun)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
