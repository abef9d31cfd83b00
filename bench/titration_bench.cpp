// SPDX-License-Identifier: GPL-3.0-or-later
//
// The cost of a titration: a whole "Run pH model" click on the start-up water, the same
// expressed per solver pass, two long runs, and a base run beside an acid run of as many
// steps.
#include "ui/main_form.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using phbuffer::ui::TpHmainForm;

/// The counters of a run: steps, time per solver pass and the speciations computed
/// to the last bit per step.
void countRun(benchmark::State& state, const phbuffer::model::RunOutcome& outcome) {
    state.counters["steps"] = outcome.StepCount;
    state.counters["pass"] = benchmark::Counter(static_cast<double>(outcome.solverPasses),
                                                benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
    state.counters["exact/step"] =
        static_cast<double>(outcome.exactEvaluations) / static_cast<double>(outcome.StepCount);
}

/// "Run pH model" on the medium preset (pH 7.80 to 4.50): about 3,300 acid steps.
/// The "pass" counter is the time per solver pass.
void BM_MediumRun(benchmark::State& state) {
    TpHmainForm form;
    form.DecimalSeparator = U'.';
    form.FormShow(&form);
    for (auto _ : state) {
        form.ReadGrids(&form);
        form.RunModel(&form);
        benchmark::DoNotOptimize(form.TitrationSeries.points.data());
    }
    // one more run outside the timing, for the pass count
    form.ReadGrids(&form);
    const auto outcome = phbuffer::model::runTitration(form.State, form.TitrationSeries,
                                                       form.BufferStrengthSeries, nullptr);
    countRun(state, outcome);
}
BENCHMARK(BM_MediumRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);

/// The model's run alone on the form's water, as the grids leave it.
void runLong(benchmark::State& state, TpHmainForm& form) {
    phbuffer::model::RunOutcome outcome;
    for (auto _ : state) {
        form.ReadGrids(&form);
        form.TitrationSeries.Clear();
        form.BufferStrengthSeries.Clear();
        outcome = phbuffer::model::runTitration(form.State, form.TitrationSeries,
                                                form.BufferStrengthSeries, nullptr);
    }
    countRun(state, outcome);
}

/// Pure water from pH 7 to 1: about 100,000 acid steps through the steepest curve.
void BM_PureWaterLongRun(benchmark::State& state) {
    TpHmainForm form;
    form.DecimalSeparator = U'.';
    form.FormShow(&form);
    for (int r = 1; r <= 9; ++r)
        form.StringGrid1.Cells(1, r) = QStringLiteral("0");
    form.StringGrid2.Cells(1, 0) = QStringLiteral("7");
    form.StringGrid2.Cells(1, 3) = QStringLiteral("1");
    runLong(state, form);
}
BENCHMARK(BM_PureWaterLongRun)->Unit(benchmark::kMillisecond);

/// The medium preset from pH 7.80 to 0.5: about 320,000 acid steps, most of them where
/// the free acid outweighs every buffer.
void BM_MediumToHalf(benchmark::State& state) {
    TpHmainForm form;
    form.DecimalSeparator = U'.';
    form.FormShow(&form);
    form.StringGrid2.Cells(1, 3) = QStringLiteral("0.5");
    runLong(state, form);
}
BENCHMARK(BM_MediumToHalf)->Unit(benchmark::kMillisecond);

/// A run of the medium preset's water as the grids give it, with @p titrant to @p target,
/// for at most @p maxSteps steps.
void runDescription(benchmark::State& state, phbuffer::model::Titrant titrant, double target,
                    std::uint32_t maxSteps, phbuffer::model::Conditions conditions = {}) {
    TpHmainForm form;
    form.DecimalSeparator = U'.';
    form.FormShow(&form);
    form.ReadGrids(&form);
    phbuffer::model::RunDescription description = form.runDescription;
    description.titrant = titrant;
    description.targetPh = target;
    description.conditions = conditions;
    phbuffer::model::RunControl control;
    control.maxSteps = maxSteps;
    phbuffer::model::RunResult result;
    for (auto _ : state) {
        result = phbuffer::model::runTitration(description, &control);
        benchmark::DoNotOptimize(result.titration.points.data());
    }
    countRun(state, result.outcome);
}

/// Strong base from pH 7.80 up to 11: about 8,700 base steps.
void BM_MediumBaseTo11(benchmark::State& state) {
    runDescription(state, phbuffer::model::Titrant::StrongBase, 11, 8738);
}
BENCHMARK(BM_MediumBaseTo11)->Unit(benchmark::kMillisecond);

/// As many acid steps down from pH 7.80: what a base run is measured against.
void BM_MediumAcidSameSteps(benchmark::State& state) {
    runDescription(state, phbuffer::model::Titrant::StrongAcid, -2, 8738);
}
BENCHMARK(BM_MediumAcidSameSteps)->Unit(benchmark::kMillisecond);

/// The medium preset's run to its lower target at 25 °C and ideal, through the description ...
void BM_MediumSpecAt25(benchmark::State& state) {
    runDescription(state, phbuffer::model::Titrant::StrongAcid, 4.5, UINT32_MAX);
}
BENCHMARK(BM_MediumSpecAt25)->Unit(benchmark::kMillisecond);

/// ... and in a mesophilic digester's conditions, 37 °C and 50 mmol/L.
void BM_MediumSpecAt37And50(benchmark::State& state) {
    runDescription(state, phbuffer::model::Titrant::StrongAcid, 4.5, UINT32_MAX, {37, 0.05});
}
BENCHMARK(BM_MediumSpecAt37And50)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
