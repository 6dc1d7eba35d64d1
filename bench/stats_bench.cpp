// The learning record's reading on a large history: a 200 000-question bank
// with 1 000 000 recorded answers and 500 exams, made by bench/run stats with
// the bank tool (`synth --history-answers --history-exams`) and named as the
// first argument. Everything here only reads the bank.

#include "practice/page_builder.h"
#include "record/statistics.h"
#include "record/weak_points.h"
#include "store/bank.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QString bankPath;

// The drill of weak points: picking its questions, then its whole page.
void DrillPageOfWeakPoints(benchmark::State& state) {
    store::Bank bank(bankPath);
    size_t questions = 0;
    for (auto _ : state) {
        const std::vector<qint64> picked = record::weakPointQuestions(bank);
        QStringList fragments;
        practice::ChapterPageBuilder(bank, picked, QStringLiteral("薄弱环节练习"))
            .writeRest(fragments);
        questions = picked.size();
        benchmark::DoNotOptimize(fragments.size());
    }
    state.counters["questions"] = double(questions);
}
BENCHMARK(DrillPageOfWeakPoints)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void WeakPointQuestions(benchmark::State& state) {
    store::Bank bank(bankPath);
    for (auto _ : state)
        benchmark::DoNotOptimize(record::weakPointQuestions(bank).size());
}
BENCHMARK(WeakPointQuestions)->Unit(benchmark::kMillisecond);

// Every figure of the statistics window: what opening it reads.
void StatisticsFigures(benchmark::State& state) {
    store::Bank bank(bankPath);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            record::readStatistics(bank, QDate::currentDate()).chapters.size());
}
BENCHMARK(StatisticsFigures)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fputs("usage: stats_bench [benchmark options] BANK\n", stderr);
        return 2;
    }
    bankPath = QString::fromLocal8Bit(argv[1]);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
