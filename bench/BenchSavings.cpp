#include "logic/Savings.h"

#include <benchmark/benchmark.h>

namespace {

const logic::FieldTexts kWorked{"45", "3", "550", "1.95"};

void judge(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(logic::judgeFields(kWorked));
}

void calculate(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(logic::calculations(kWorked));
}

// What one press of the window's button costs.
void judgeThenCalculate(benchmark::State& state) {
    for (auto _ : state) {
        const auto verdict = logic::judgeFields(kWorked);
        benchmark::DoNotOptimize(verdict);
        if (verdict.status == logic::kSuccess) benchmark::DoNotOptimize(logic::calculations(kWorked));
    }
}

} // namespace

BENCHMARK(judge);
BENCHMARK(calculate);
BENCHMARK(judgeThenCalculate);

BENCHMARK_MAIN();
