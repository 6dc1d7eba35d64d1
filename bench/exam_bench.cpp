// The mock exam's own work on a 200 000-question synthetic bank written by the
// bank tool's own code: drawing a paper of 100 / 50 / 20 / 20, and one "next"
// (saving the answer on screen, moving on, building the next item's page).

#include "bank_writer.h"
#include "exam/exam_page.h"
#include "exam/exam_session.h"
#include "exam/paper_drawer.h"
#include "store/bank.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"
#include "synthetic_bank.h"

#include <QCoreApplication>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

// Fixed, so every run draws the same papers.
class SeededRandom : public exam::RandomSource {
public:
    quint32 below(quint32 bound) override { return engine_() % bound; }

private:
    std::mt19937 engine_{7};
};

class ExamBank : public benchmark::Fixture {
public:
    void SetUp(benchmark::State&) override {
        if (folder)
            return;
        folder = std::make_unique<QTemporaryDir>();
        banktool::writeBank(banktool::syntheticBank({200000, 7, 60}), path());
        store::Bank bank(path());
        const char* const counts[] = {"100", "50", "20", "20"};
        for (int i = 0; i < 4; ++i)
            store::setExamParameter(bank, i, {QString::fromLatin1(counts[i]), {}});
    }
    static QString path() { return folder->filePath(QStringLiteral("med.db")); }
    static inline std::unique_ptr<QTemporaryDir> folder;
};

BENCHMARK_DEFINE_F(ExamBank, DrawPaperOf190ItemsFrom200000Questions)(benchmark::State& state) {
    store::Bank bank(path());
    SeededRandom random;
    for (auto _ : state) {
        const std::vector<store::PaperItem> items = exam::drawPaper(bank, random);
        benchmark::DoNotOptimize(items.size());
    }
}
BENCHMARK_REGISTER_F(ExamBank, DrawPaperOf190ItemsFrom200000Questions)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// What the page of each item gives back when the candidate has answered it:
// option A ticked (B as well on multiple-answer items), every drop-down on A.
QHash<QString, web::ControlSnapshot> answeredPages(store::Bank& bank,
                                                   const std::vector<store::PaperItem>& items) {
    QHash<QString, web::ControlSnapshot> pages;
    for (const store::PaperItem& item : items) {
        web::ControlSnapshot& controls = pages[item.tid];
        if (item.lx == QLatin1String("a4")) {
            for (const store::Question& sub :
                 store::questionsOfGroup(bank, exam::itemTargetId(item)))
                controls.insert(QString::number(sub.id), {false, QStringLiteral("A")});
            continue;
        }
        const bool single = item.lx == QLatin1String("a1");
        for (const store::Option& option : store::optionsOfQuestion(bank, exam::itemTargetId(item)))
            controls.insert(QString::number(option.id),
                            {option.code == QLatin1String("A") ||
                                 (!single && option.code == QLatin1String("B")),
                             option.code});
    }
    return pages;
}

BENCHMARK_DEFINE_F(ExamBank, NextQuestionSavesAndBuildsThePage)(benchmark::State& state) {
    store::Bank bank(path());
    SeededRandom random;
    const std::vector<store::PaperItem> items = exam::drawPaper(bank, random);
    const QHash<QString, web::ControlSnapshot> pages = answeredPages(bank, items);
    auto session = std::make_unique<exam::ExamSession>(bank, items);
    for (auto _ : state) {
        if (session->currentTid() == items.back().tid) {
            // The end of the paper: start again from its first item.
            state.PauseTiming();
            session = std::make_unique<exam::ExamSession>(bank, items);
            state.ResumeTiming();
        }
        const exam::SessionStep step =
            session->move(exam::Move::Next, pages.value(session->currentTid()));
        if (!step.pageTid) {
            state.SkipWithError("next did not move on");
            break;
        }
        const std::optional<exam::ExamPage> page =
            exam::buildExamPage(bank, *step.pageTid, exam::ExamPageVariant::Navigation);
        benchmark::DoNotOptimize(page->fragments.size());
    }
}
BENCHMARK_REGISTER_F(ExamBank, NextQuestionSavesAndBuildsThePage)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
