#include "exam/answer_sheet.h"
#include "exam/paper_drawer.h"
#include "fixture_bank.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::FixtureBank;

namespace {

// Offsets as a test lists them, then 0.
class FixedRandom : public exam::RandomSource {
public:
    explicit FixedRandom(std::vector<quint32> offsets = {})
        : offsets_(std::move(offsets)) {}
    quint32 below(quint32 bound) override {
        const quint32 offset = next_ < offsets_.size() ? offsets_[next_++] : 0;
        EXPECT_LT(offset, bound);
        return offset;
    }

private:
    std::vector<quint32> offsets_;
    size_t next_ = 0;
};

TEST(StrideWalk, SpreadsTakesOverThePoolInOrder) {
    FixedRandom zeros;
    EXPECT_EQ(exam::strideWalk(100, 5, true, zeros), (std::vector<int>{0, 19, 38, 57, 76}));
    FixedRandom one({1}), two({2});
    EXPECT_EQ(exam::strideWalk(100, 5, true, one).front(), 2) << "the third row when K is 1";
    EXPECT_EQ(exam::strideWalk(100, 5, true, two).front(), 3) << "the fourth row when K is 2";
    FixedRandom later;
    EXPECT_EQ(exam::strideWalk(100, 5, false, later).front(), 1) << "only the paper's first";
}

TEST(StrideWalk, ShortAndExactPoolsGiveEachRowOnce) {
    FixedRandom random;
    EXPECT_EQ(exam::strideWalk(3, 5, true, random), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(exam::strideWalk(4, 4, false, random), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(exam::strideWalk(0, 4, false, random).empty());
    FixedRandom highest({19, 19, 19, 19, 19});
    const std::vector<int> taken = exam::strideWalk(100, 5, false, highest);
    ASSERT_EQ(taken.size(), 5u);
    EXPECT_TRUE(std::is_sorted(taken.begin(), taken.end()));
    EXPECT_EQ(std::adjacent_find(taken.begin(), taken.end()), taken.end());
    EXPECT_LT(taken.back(), 100);
}

class PaperDrawing : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        rows.setSubject({"测试", "t"});
        rows.setQuestionCount("0");
        rows.addType({3, "1", "单选"});
        rows.addType({10, "8", "案例"});
        rows.addType({11, "9", "配伍"});
    }
    void counts(const char* single, const char* multiple, const char* cases, const char* matching) {
        for (const char* count : {single, multiple, cases, matching})
            fixture.rows().addExamParameter({count, count});
    }
    void question(int id, int group, const QString& lx, const QString& itemnum = {}) {
        store::Question q;
        q.id = id;
        q.readtextid = group;
        q.content = QStringLiteral("题%1").arg(id);
        q.answer = "A";
        q.itemnum = itemnum;
        q.lx = lx;
        fixture.rows().addQuestion(q);
    }
    std::vector<store::PaperItem> draw(std::vector<quint32> offsets = {}) {
        fixture.finish();
        bank = std::make_unique<store::Bank>(fixture.bankPath());
        FixedRandom random(std::move(offsets));
        return exam::drawPaper(*bank, random);
    }
    static QStringList tids(const std::vector<store::PaperItem>& items) {
        QStringList list;
        for (const store::PaperItem& item : items)
            list << item.tid;
        return list;
    }

    FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
};

TEST_F(PaperDrawing, FiveSinglesFromAHundredAreSpreadInStoredOrder) {
    counts("5", "0", "0", "0");
    fixture.rows().addGroup({1, 1, 3, {}, {}});
    for (int id = 1; id <= 100; ++id)
        question(id, 1, "a1");
    const std::vector<store::PaperItem> items = draw();
    EXPECT_EQ(tids(items), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(tids(store::paperItems(*bank)), tids(items));
    QStringList sources;
    for (const store::PaperItem& item : items)
        sources << item.tgid;
    EXPECT_EQ(sources, (QStringList{"1", "20", "39", "58", "77"}));
    const exam::SheetLayout sheet = exam::layOutAnswerSheet(items);
    ASSERT_EQ(sheet.headings.size(), 1u);
    EXPECT_EQ(sheet.headings[0].text, "单项选择题:");
    EXPECT_EQ(sheet.cells.back().name, "a5");
    EXPECT_EQ(exam::sectionStartNotice(items[0].lx),
              "单选题：每个题有一个正确答案，请选择一个正确答案");
}

TEST_F(PaperDrawing, CaseGroupsGiveOneItemPerQuestionAndMatchingOnePerGroup) {
    counts("0", "0", "2", "1");
    fixture.rows().addGroup({1, 1, 10, "案例一", {}});
    fixture.rows().addGroup({2, 1, 10, "案例二", {}});
    fixture.rows().addGroup({3, 1, 11, "配伍", "5"});
    for (int i = 1; i <= 3; ++i)
        question(10 + i, 1, "a3", QString::number(i));
    for (int i = 1; i <= 4; ++i)
        question(20 + i, 2, "a3", QString::number(i));
    question(31, 3, "B", "1");
    const std::vector<store::PaperItem> items = draw();
    EXPECT_EQ(tids(items), (QStringList{"1.1", "1.2", "1.3", "2.1", "2.2", "2.3", "2.4", "3"}));
    EXPECT_EQ(items[0].alt, "案例一");
    EXPECT_EQ(items[7].xx, "5");
    EXPECT_EQ(items[7].tgid, "3");
    EXPECT_EQ(store::questionById(*bank, 31)->lx, "a4") << "an old letter is re-tagged";
    const exam::SheetLayout sheet = exam::layOutAnswerSheet(items);
    ASSERT_EQ(sheet.headings.size(), 2u);
    EXPECT_EQ(sheet.headings[0].text, "阅读案例分析题:");
    EXPECT_EQ(sheet.headings[1].text, "配伍选择题:");
    EXPECT_EQ(sheet.cells[0].name, "a1f1");
    EXPECT_EQ(sheet.cells[0].place.width(), 30);
    EXPECT_EQ(sheet.cells[7].name, "a3");
    EXPECT_EQ(sheet.cells[7].place.width(), 28);
}

TEST_F(PaperDrawing, TenItemsOfOneGroupKeepTheirNumbersApart) {
    counts("0", "0", "1", "0");
    fixture.rows().addGroup({1, 1, 10, "长案例", {}});
    for (int i = 1; i <= 10; ++i)
        question(i, 1, "a3", QString::number(i));
    const std::vector<store::PaperItem> items = draw();
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[9].tid, "1.10");
    EXPECT_EQ(exam::cellName(items[0].tid), "a1f1");
    EXPECT_EQ(exam::cellName(items[9].tid), "a1f10");
    EXPECT_EQ(store::paperItemByTid(*bank, "1.10")->tgid, "10");
}

TEST(AnswerSheetLayout, TwelveCellsMakeTwoLinesAndTheNextHeadingSitsSixtyPixelsLower) {
    std::vector<store::PaperItem> items;
    for (int i = 1; i <= 12; ++i)
        items.push_back({QString::number(i), "a1", {}, {}, {}, {}, {}, {}, {}});
    items.push_back({"13", "a4", {}, {}, {}, {}, {}, {}, {}});
    const exam::SheetLayout sheet = exam::layOutAnswerSheet(items);
    EXPECT_EQ(sheet.headings[0].place, QRect(30, 65, 200, 23));
    EXPECT_EQ(sheet.cells[0].place, QRect(10, 85, 28, 23));
    EXPECT_EQ(sheet.cells[5].place.left(), 185);
    EXPECT_EQ(sheet.cells[6].place.top(), 115);
    EXPECT_EQ(sheet.headings[1].place.top() - sheet.cells[6].place.top(), 60);
}

// A drawing killed half-way leaves the previous paper and tags as they were.
TEST_F(PaperDrawing, AKilledDrawingLeavesThePreviousPaperWhole) {
    counts("3", "0", "0", "1");
    fixture.rows().addGroup({1, 1, 3, {}, {}});
    fixture.rows().addGroup({2, 1, 11, "配伍", "5"});
    for (int id = 1; id <= 30; ++id)
        question(id, 1, "a1");
    question(99, 2, "C", "1");
    const std::vector<store::PaperItem> before = draw();
    store::setPaperAnswer(*bank, "1", "A");
    store::setQuestionLx(*bank, 99, "C");
    bank->close();

    // Killed inside the drawing, after the tags were reset and the old paper
    // deleted, before the commit.
    class KillingRandom : public exam::RandomSource {
    public:
        quint32 below(quint32) override {
            if (++calls == 3)
                ::kill(::getpid(), SIGKILL);
            return 0;
        }
        int calls = 0;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        store::Bank own(fixture.bankPath());
        KillingRandom killing;
        exam::drawPaper(own, killing);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the drawing was not killed";

    store::Bank after(fixture.bankPath());
    const std::vector<store::PaperItem> paper = store::paperItems(after);
    EXPECT_EQ(tids(paper), tids(before));
    EXPECT_EQ(paper[0].tjda, "A");
    EXPECT_EQ(store::questionById(after, 99)->lx, "C");
}

} // namespace
