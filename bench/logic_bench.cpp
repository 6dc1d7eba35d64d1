// Grading a large chapter and switching into a large collection, on synthetic
// banks written by the bank tool's own code.

#include "app/chapter_tree.h"
#include "bank_writer.h"
#include "collections/collections.h"
#include "practice/grader.h"
#include "practice/page_builder.h"
#include "record/sitting.h"
#include "store/bank.h"
#include "store/own_tables.h"
#include "store/question_statements.h"
#include "store/record_tables.h"
#include "store/tree_statements.h"
#include "synthetic_bank.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct SyntheticFolder {
    explicit SyntheticFolder(const banktool::SyntheticShape& shape)
        : SyntheticFolder(banktool::syntheticBank(shape)) {}
    explicit SyntheticFolder(const banktool::BankContent& content) {
        banktool::writeBank(content, path());
    }
    QString path() const { return dir.filePath(QStringLiteral("med.db")); }
    QTemporaryDir dir;
};

int firstChapter(store::Bank& bank) {
    const auto top = store::topLevelNodes(bank).at(0);
    const auto section = store::childNodes(bank, top.id).at(0);
    return store::childNodes(bank, section.id).at(0).id;
}

// Every question answered, half of them wrongly: each option present, the
// first one ticked.
web::ControlSnapshot answeredPage(store::Bank& bank, int chapter) {
    web::ControlSnapshot controls;
    for (const store::Option& option : store::optionsOfChapter(bank, chapter))
        controls.insert(QString::number(option.id),
                        {option.code == QStringLiteral("A"), option.code});
    for (const store::Question& question : store::questionsOfChapter(bank, chapter))
        controls.insert(QStringLiteral("a%1").arg(question.id), {false, QStringLiteral("A")});
    return controls;
}

// Grades the bank's first chapter, answered as answeredPage() answers it, once per iteration.
void gradeFirstChapterRepeatedly(benchmark::State& state, store::Bank& bank) {
    const int chapter = firstChapter(bank);
    const web::ControlSnapshot controls = answeredPage(bank, chapter);
    for (auto _ : state) {
        const auto result = practice::gradeChapter(bank, chapter, collections::ViewMode::WholeBank,
                                                   controls, QDateTime::currentDateTime());
        benchmark::DoNotOptimize(result.wrongQuestionIds.size());
    }
}

void GradeChapterOf1000Questions(benchmark::State& state) {
    SyntheticFolder folder({1000, 7, 1000});
    store::Bank bank(folder.path());
    gradeFirstChapterRepeatedly(state, bank);
}
BENCHMARK(GradeChapterOf1000Questions)->Unit(benchmark::kMillisecond);

// The same grading on a bank whose record was written by a later program, so
// that no sitting is kept: its difference to the one above is what recording
// adds to a grading.
void GradeChapterOf1000QuestionsKeepingNoRecord(benchmark::State& state) {
    SyntheticFolder folder({1000, 7, 1000});
    store::Bank bank(folder.path());
    const store::OwnTableSet laterRecord{store::recordTables().name,
                                         store::recordTables().title,
                                         {{QStringLiteral("CREATE TABLE mq_later_a (a)")},
                                          {QStringLiteral("CREATE TABLE mq_later_b (b)")}}};
    store::ensureOwnTables(bank, laterRecord);
    gradeFirstChapterRepeatedly(state, bank);
}
BENCHMARK(GradeChapterOf1000QuestionsKeepingNoRecord)->Unit(benchmark::kMillisecond);

// What recording a graded 1 000-question chapter adds to its grading: the
// sitting and its answers written, in a transaction of its own here (so one
// commit more than inside the grading), onto a log that grows run by run.
void RecordSittingOf1000Questions(benchmark::State& state) {
    SyntheticFolder folder({1000, 7, 1000});
    store::Bank bank(folder.path());
    const int chapter = firstChapter(bank);
    record::Sitting sitting;
    sitting.chapterId = chapter;
    sitting.title = QStringLiteral("章");
    sitting.finishedAt = QDateTime::currentDateTime();
    int position = 0;
    for (const store::Question& question : store::questionsOfChapter(bank, chapter)) {
        const bool right = ++position % 2 == 0;
        sitting.questions.push_back({question.id,
                                     chapter,
                                     QStringLiteral("1"),
                                     right ? question.answer : QStringLiteral("E"),
                                     question.answer,
                                     right,
                                     {}});
    }
    record::recordSitting(bank, sitting); // the tables made before the runs
    for (auto _ : state)
        record::recordSitting(bank, sitting);
}
BENCHMARK(RecordSittingOf1000Questions)->Unit(benchmark::kMillisecond);

void BuildPageOf1000Questions(benchmark::State& state) {
    SyntheticFolder folder({1000, 7, 1000});
    store::Bank bank(folder.path());
    const int chapter = firstChapter(bank);
    for (auto _ : state) {
        QStringList fragments;
        practice::buildChapterPage(bank, chapter, collections::ViewMode::WholeBank, fragments);
        benchmark::DoNotOptimize(fragments.size());
    }
}
BENCHMARK(BuildPageOf1000Questions)->Unit(benchmark::kMillisecond);

// The same chapter with markup in every text, as in banks of formulas and
// tables: each text goes through the HTML parser.
void BuildPageOf1000MarkedUpQuestions(benchmark::State& state) {
    banktool::BankContent content = banktool::syntheticBank({1000, 7, 1000});
    for (store::Question& question : content.questions) {
        question.content += QStringLiteral("（H<sub>2</sub>O，<b>10<sup>-6</sup></b>）");
        question.explain +=
            QStringLiteral("<table border=1><tr><td>指标</td><td>值</td></tr></table>");
    }
    for (store::Option& option : content.options)
        option.content =
            QStringLiteral("<font color=red>") + option.content + QStringLiteral("</font>");
    SyntheticFolder folder(content);
    store::Bank bank(folder.path());
    const int chapter = firstChapter(bank);
    for (auto _ : state) {
        QStringList fragments;
        practice::buildChapterPage(bank, chapter, collections::ViewMode::WholeBank, fragments);
        benchmark::DoNotOptimize(fragments.size());
    }
}
BENCHMARK(BuildPageOf1000MarkedUpQuestions)->Unit(benchmark::kMillisecond);

// A 40 000-question bank with every fourth question in the wrong-question bank.
class LargeCollection : public benchmark::Fixture {
public:
    void SetUp(benchmark::State&) override {
        if (folder)
            return;
        folder = std::make_unique<SyntheticFolder>(banktool::SyntheticShape{40000, 7, 60});
        store::Bank bank(folder->path());
        bank.inTransaction([&] {
            for (int id = 1; id <= 40000; id += 4)
                store::setQuestionFlag(bank, id, store::QuestionFlag::Wrong, true);
        });
    }
    static inline std::unique_ptr<SyntheticFolder> folder;
};

BENCHMARK_DEFINE_F(LargeCollection, SwitchWith10000FlaggedQuestions)(benchmark::State& state) {
    store::Bank bank(folder->path());
    for (auto _ : state) {
        const bool any = store::hasFlaggedQuestions(bank, store::CollectionFlag::Wrong);
        collections::recomputeNodeFlags(bank, store::CollectionFlag::Wrong);
        benchmark::DoNotOptimize(any);
    }
}
BENCHMARK_REGISTER_F(LargeCollection, SwitchWith10000FlaggedQuestions)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LargeCollection, TreeOfTheWrongQuestionView)(benchmark::State& state) {
    store::Bank bank(folder->path());
    for (auto _ : state) {
        int rows = 0;
        app::buildChapterTree(bank, collections::ViewMode::WrongQuestions,
                              [&](const app::TreeRow&) { ++rows; });
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK_REGISTER_F(LargeCollection, TreeOfTheWrongQuestionView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
