#include "exam/paper_drawer.h"
#include "fixture_bank.h"
#include "practice/grader.h"
#include "practice/page_builder.h"
#include "practice/random_practice.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

using collections::ViewMode;
using practice::drawRandomPractice;
using practice::PracticeSelection;

namespace {

class SeededRandom : public exam::RandomSource {
public:
    explicit SeededRandom(unsigned seed)
        : engine_(seed) {}
    quint32 below(quint32 bound) override {
        return std::uniform_int_distribution<quint32>(0, bound - 1)(engine_);
    }

private:
    std::mt19937 engine_;
};

// Chapter 101: 30 single-answer questions 1–30, a case group 31–33 and a
// matching group 34–35. Chapter 102: 10 single-answer questions 41–50, of
// which 41–45 are favourites.
class RandomPractice : public testing::Test {
protected:
    void SetUp() override {
        fixture.addDefaultHeader();
        auto& rows = fixture.rows();
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addNode({101, "第一章", 1, 0, {}, {}});
        rows.addNode({102, "第二章", 1, 0, {}, {}});
        rows.addType({3, "1", "单选题"});
        rows.addType({10, "8", "阅读案例多个问题8"});
        rows.addType({11, "9", "五个公用备选多个题每题一个选项9"});
        rows.addGroup({1, 101, 3, {}, {}});
        rows.addGroup({2, 101, 10, "病例", {}});
        rows.addGroup({3, 101, 11, "A．甲 B．乙", "2"});
        rows.addGroup({4, 102, 3, {}, {}});
        const auto add = [&](int first, int last, int group) {
            for (int id = first; id <= last; ++id) {
                store::Question q;
                q.id = id;
                q.readtextid = group;
                q.content = QStringLiteral("题%1").arg(id);
                q.answer = "A";
                q.scbt = id >= 41 && id <= 45 ? "1" : "";
                rows.addQuestion(q);
                if (group != 3) {
                    rows.addOption({id * 10 + 1, id, "A", "甲"});
                    rows.addOption({id * 10 + 2, id, "B", "乙"});
                }
            }
        };
        add(1, 30, 1);
        add(31, 33, 2);
        add(34, 35, 3);
        add(41, 50, 4);
        fixture.finish();
        bank = std::make_unique<store::Bank>(fixture.bankPath());
    }

    PracticeSelection draw(const std::vector<qint64>& chapters, int count, unsigned seed = 1,
                           ViewMode mode = ViewMode::WholeBank) {
        SeededRandom random(seed);
        return drawRandomPractice(*bank, chapters, mode, count, random);
    }
    static std::set<qint64> idsOf(const PracticeSelection& selection) {
        std::set<qint64> ids;
        for (const store::Question& question : selection.questions)
            ids.insert(question.id);
        return ids;
    }

    testing_support::FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
};

TEST_F(RandomPractice, DrawsTheCountAskedForOrAllThereIs) {
    for (int count : practice::randomPracticeCounts) {
        const PracticeSelection chapter = draw({101}, count);
        EXPECT_EQ(chapter.questionCount(), std::min(count, 35)) << count;
        EXPECT_EQ(int(idsOf(chapter).size()), chapter.questionCount()) << "no question twice";
        EXPECT_EQ(draw({101, 102}, count).questionCount(), std::min(count, 45)) << count;
    }
}

TEST_F(RandomPractice, KeepsCaseAndMatchingGroupsWholeAndShowsGroupsInChapterOrder) {
    const std::set<qint64> caseGroup{31, 32, 33}, matchingGroup{34, 35};
    int drawnWithGroups = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const PracticeSelection selection = draw({101}, 10, seed);
        ASSERT_EQ(selection.questionCount(), 10) << seed;
        const std::set<qint64> ids = idsOf(selection);
        for (const auto* group : {&caseGroup, &matchingGroup}) {
            const auto drawn = std::count_if(group->begin(), group->end(),
                                             [&](qint64 id) { return ids.count(id) > 0; });
            EXPECT_TRUE(drawn == 0 || drawn == qsizetype(group->size())) << seed;
            drawnWithGroups += drawn > 0;
        }
        // Types in order, each group once, its questions in stored order.
        std::vector<qint64> groupIds;
        for (const store::QuestionGroup& group : selection.groups)
            groupIds.push_back(group.id);
        EXPECT_TRUE(std::is_sorted(groupIds.begin(), groupIds.end())) << seed;
        EXPECT_TRUE(std::is_sorted(selection.questions.begin(), selection.questions.end(),
                                   [](const auto& a, const auto& b) { return a.id < b.id; }));
    }
    EXPECT_GT(drawnWithGroups, 0) << "the groups are drawn at all";
    // The same source gives the same page; another gives another.
    EXPECT_EQ(idsOf(draw({101}, 10, 7)), idsOf(draw({101}, 10, 7)));
    EXPECT_NE(idsOf(draw({101}, 10, 7)), idsOf(draw({101}, 10, 8)));
}

TEST_F(RandomPractice, DrawsOnlyFromTheChaptersAndTheViewGiven) {
    for (qint64 id : idsOf(draw({102}, 20)))
        EXPECT_GE(id, 41);
    EXPECT_EQ(idsOf(draw({101, 102}, 20, 3, ViewMode::Favourites)),
              (std::set<qint64>{41, 42, 43, 44, 45}));
    EXPECT_EQ(draw({101}, 20, 3, ViewMode::WrongQuestions).questionCount(), 0);
}

TEST_F(RandomPractice, TheDrawnPageIsBuiltAndGradedLikeAChapter) {
    const PracticeSelection selection = draw({101, 102}, 20, 5);
    QStringList fragments;
    practice::ChapterPageBuilder(*bank, selection).writeRest(fragments);
    const QString page = fragments.join(QString());
    web::ControlSnapshot controls;
    for (qint64 id = 1; id <= 50; ++id) {
        EXPECT_EQ(page.contains(QStringLiteral("id ='fan%1'").arg(id)),
                  idsOf(selection).count(id) > 0)
            << id;
        controls.insert(QString::number(id * 10 + 1), {false, "A"});
        controls.insert(QString::number(id * 10 + 2), {false, "B"});
        controls.insert(QStringLiteral("a%1").arg(id), {false, "daan"});
    }
    const practice::GradingResult result =
        practice::gradeSelection(*bank, selection, controls, QDateTime::currentDateTime());
    EXPECT_EQ(result.wrongQuestionIds.size(), size_t(20)) << "nothing ticked: every one wrong";
}

} // namespace
