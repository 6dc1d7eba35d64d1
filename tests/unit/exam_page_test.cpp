#include "exam/exam_page.h"
#include "exam_paper.h"
#include "fixture_bank.h"
#include "practice/question_notes.h"
#include "store/exam_statements.h"

#include <gtest/gtest.h>

using exam::ExamPageVariant;
using testing_support::FixtureBank;

namespace {

class ExamPage : public testing::Test {
protected:
    void SetUp() override {
        fixture.addDefaultHeader();
        testing_support::addExamBankContent(fixture.rows());
        fixture.finish();
        bank = std::make_unique<store::Bank>(fixture.bankPath());
        testing_support::writeSamplePaper(*bank);
    }

    exam::ExamPage page(const QString& tid, ExamPageVariant variant) {
        const std::optional<exam::ExamPage> built = exam::buildExamPage(*bank, tid, variant);
        EXPECT_TRUE(built.has_value()) << tid.toStdString();
        return built.value_or(exam::ExamPage{});
    }

    FixtureBank fixture;
    std::unique_ptr<store::Bank> bank;
};

const QString picture =
    QStringLiteral("&nbsp<br><p> 如图所示：<img src=\"./pic/a.png\"> </p> <br>");

TEST_F(ExamPage, SingleChoiceOnTheWayThereHasPictureStemAndRadioOptions) {
    const exam::ExamPage built = page("1", ExamPageVariant::Navigation);
    ASSERT_EQ(built.fragments.size(), 2 + 5 * 3);
    EXPECT_EQ(built.fragments[0], picture);
    EXPECT_EQ(built.fragments[1], "<br>1.单选题干<br>");
    EXPECT_EQ(built.fragments[2], "<br>");
    EXPECT_EQ(built.fragments[3],
              " <input type=\"radio\" id=\"111\"  name=\"11\" value=\"A\" "
              "aria-labelledby=\"opt111\"><span id=\"opt111\">A:选项A</span><br>");
    EXPECT_EQ(built.fragments[4], "<br>");
    EXPECT_EQ(built.checkedIds, QStringList{"113"});
    EXPECT_EQ(built.lx, "a1");
}

TEST_F(ExamPage, MultipleAndCaseItemsUseCheckBoxesAndRestoreEveryStoredLetter) {
    const exam::ExamPage multiple = page("2", ExamPageVariant::Jump);
    EXPECT_EQ(multiple.fragments[2],
              " <input type=\"checkbox\" id=\"211\"  name=\"21\" value=\"A\" "
              "aria-labelledby=\"opt211\"><span id=\"opt211\">A:选项A</span><br>");
    EXPECT_EQ(multiple.checkedIds, (QStringList{"211", "213", "214"}));

    const exam::ExamPage caseItem = page("3.1", ExamPageVariant::Jump);
    EXPECT_EQ(caseItem.fragments[0], "3.病例摘要<br>");
    EXPECT_EQ(caseItem.fragments[1], "<br>3.1.案例提问<br>");
    EXPECT_TRUE(caseItem.fragments[3].startsWith(" <input type=\"checkbox\" id=\"311\""));
    EXPECT_TRUE(caseItem.checkedIds.isEmpty());
}

TEST_F(ExamPage, MatchingGroupListsItsLettersAndRestoresTheStoredSelects) {
    const exam::ExamPage built = page("4", ExamPageVariant::Review);
    ASSERT_EQ(built.fragments.size(), 1 + 2 * 2);
    EXPECT_EQ(built.fragments[0], "4.共用备选<br> <br>");
    EXPECT_EQ(built.fragments[1],
              "1.  <select name=\"cars\" id=\"41\" aria-labelledby=\"txt41\"> <option "
              "value=\"daan\" selected>答案 <option value=\"A\">A <option value=\"B\">B <option "
              "value=\"C\">C <option value=\"D\">D <option value=\"E\">E </select><span "
              "id=\"txt41\">配伍一</span><br><br>");
    EXPECT_EQ(built.fragments[2], "<body> <b>正确答案：B</b> </body><br> <br>");
    EXPECT_EQ(built.fragments[4], "<body> <b>正确答案：A</b> </body><br> <br>");
    const std::vector<std::pair<QString, QString>> selects = {{"41", "B"}, {"42", "D"}};
    EXPECT_EQ(built.selectValues, selects);
}

TEST_F(ExamPage, MatchingListStopsAtTheFifteenthLetter) {
    store::insertPaperItem(*bank, {"5", "a4", "多字母", {}, "4", {}, {}, "20", {}});
    const exam::ExamPage built = page("5", ExamPageVariant::Jump);
    EXPECT_TRUE(built.fragments[1].contains("<option value=\"O\">O </select>"));
    EXPECT_FALSE(built.fragments[1].contains("value=\"P\""));
    EXPECT_TRUE(built.selectValues.empty()) << "nothing stored for this group";
}

struct VariantCase {
    const char* name;
    ExamPageVariant variant;
    bool picture;
    const char* matchingLineEnd;
    bool review;
};

class ExamPageVariants : public ExamPage, public testing::WithParamInterface<VariantCase> {};

TEST_P(ExamPageVariants, PictureLineEndAndCorrectAnswersFollowTheVariant) {
    const VariantCase& c = GetParam();
    const exam::ExamPage single = page("1", c.variant);
    EXPECT_EQ(single.fragments.front() == picture, c.picture);
    EXPECT_EQ(single.fragments.back() == "<body> <b>正确答案：B</b> </body><br> <br>", c.review);
    for (const char* tid : {"2", "3.1"})
        EXPECT_EQ(page(tid, c.variant).fragments.back().contains("正确答案："), c.review) << tid;

    const exam::ExamPage matching = page("4", c.variant);
    EXPECT_TRUE(
        matching.fragments[1].endsWith(QStringLiteral("配伍一</span><br>") + c.matchingLineEnd));
    EXPECT_EQ(matching.fragments.size(), c.review ? 5 : 3);
}

INSTANTIATE_TEST_SUITE_P(
    AllVariants, ExamPageVariants,
    testing::Values(VariantCase{"FirstPage", ExamPageVariant::FirstPage, true, "<br>", false},
                    VariantCase{"Navigation", ExamPageVariant::Navigation, true, "<br> <br>",
                                false},
                    VariantCase{"Jump", ExamPageVariant::Jump, false, "<br> <br>", false},
                    VariantCase{"Review", ExamPageVariant::Review, false, "<br>", true}),
    [](const testing::TestParamInfo<VariantCase>& info) { return info.param.name; });

TEST_F(ExamPage, NoItemNoPage) {
    EXPECT_FALSE(exam::buildExamPage(*bank, "9", ExamPageVariant::Jump));
    // Rows are found by their exact text.
    EXPECT_FALSE(exam::buildExamPage(*bank, "3.10", ExamPageVariant::Jump));
}

TEST(ExamPageIds, AnItemNamingAQuestionBeyond32BitsShowsThatQuestion) {
    const qint64 id = (qint64(1) << 32) + 11;
    FixtureBank fixture;
    fixture.addDefaultHeader();
    testing_support::addExamBankContent(fixture.rows());
    store::Question question;
    question.id = id;
    question.readtextid = 1;
    question.content = "远处的题";
    question.answer = "A";
    fixture.rows().addQuestion(question);
    fixture.rows().addOption({id * 10 + 1, id, "A", "远处的选项"});
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    store::insertPaperItem(bank,
                           {"1", "a1", {}, "远处的题", QString::number(id), "A", {}, {}, "A"});

    const std::optional<exam::ExamPage> built =
        exam::buildExamPage(bank, "1", ExamPageVariant::Navigation);
    ASSERT_TRUE(built.has_value());
    EXPECT_TRUE(built->fragments.join("").contains("远处的选项"));
    EXPECT_EQ(built->checkedIds, QStringList{QString::number(id * 10 + 1)});
}

TEST_F(ExamPage, BankTextInAnAttributeCannotCloseIt) {
    store::insertPaperItem(*bank,
                           {"6", "a1", {}, "题", "11", {}, "x.png\" onerror=\"alert(1)", {}, {}});
    const exam::ExamPage built = page("6", ExamPageVariant::Navigation);
    EXPECT_FALSE(built.fragments[0].contains("\" onerror")) << built.fragments[0].toStdString();
}

// Every bank text of an exam page is hostile: the stem, the case text, the
// options, the matching group's texts and the correct answers.
TEST(ExamPageBankTexts, LoseScriptsAndEventsButKeepFormatting) {
    const QString hostile =
        QStringLiteral("H<sub>2</sub>O<img src=x onerror=alert(1)><script>alert(2)</script>");
    FixtureBank fixture;
    fixture.addDefaultHeader();
    store::BankBuilder& rows = fixture.rows();
    rows.addType({3, "1", "单选"});
    rows.addType({11, "9", "配伍"});
    rows.addGroup({1, 101, 3, {}, {}});
    rows.addGroup({2, 101, 11, {}, "2"});
    rows.addQuestion({11, 1, {}, {}, {}, {}, {}, {}, {}, {}, {}});
    rows.addOption({111, 11, "A", hostile});
    rows.addOption({112, 11, "B<script>x</script>", hostile});
    rows.addQuestion({21, 2, hostile, hostile, {}, {}, hostile, {}, {}, {}, {}});
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    store::insertPaperItem(bank, {"1", "a1", {}, hostile, "11", hostile, {}, {}, {}});
    store::insertPaperItem(bank, {"2.1", "a3", hostile, hostile, "11", {}, {}, {}, {}});
    store::insertPaperItem(bank, {"3", "a4", hostile, {}, "2", {}, {}, "2", {}});

    for (const char* tid : {"1", "2.1", "3"}) {
        const std::optional<exam::ExamPage> built =
            exam::buildExamPage(bank, tid, ExamPageVariant::Review);
        ASSERT_TRUE(built.has_value()) << tid;
        const QString html = built->fragments.join(QString());
        EXPECT_FALSE(html.contains("onerror")) << html.toStdString();
        EXPECT_FALSE(html.contains("<script")) << html.toStdString();
        EXPECT_FALSE(html.contains("alert(2)")) << html.toStdString();
        EXPECT_TRUE(html.contains("H<sub>2</sub>O<img src=\"x\">")) << html.toStdString();
    }
    const exam::ExamPage single = *exam::buildExamPage(bank, "1", ExamPageVariant::Review);
    EXPECT_EQ(single.fragments[0], "<br>1.H<sub>2</sub>O<img src=\"x\"><br>");
    EXPECT_EQ(single.fragments[5],
              " <input type=\"radio\" id=\"112\"  name=\"11\" value=\"B&lt;script&gt;x&lt;/"
              "script&gt;\" aria-labelledby=\"opt112\"><span id=\"opt112\">B:H<sub>2</sub>O<img "
              "src=\"x\"></span><br>");
}

TEST_F(ExamPage, AfterHandInAQuestionShowsItsNoteAsTextAndNeverDuringTheSitting) {
    const QString note = QStringLiteral("<b>记住</b>：矽肺\n第二行");
    const QString shown = QStringLiteral("&lt;b&gt;记住&lt;/b&gt;：矽肺<br>第二行");
    practice::saveQuestionNote(*bank, 11, note); // item 1
    practice::saveQuestionNote(*bank, 42, note); // the second question of matching item 4

    const QString single = page("1", ExamPageVariant::Review).fragments.join(QString());
    EXPECT_TRUE(single.contains(QStringLiteral("我的笔记：</b>") + shown)) << single.toStdString();
    EXPECT_GT(single.indexOf(shown), single.indexOf(QStringLiteral("正确答案：")));
    const QStringList matching = page("4", ExamPageVariant::Review).fragments;
    ASSERT_EQ(matching.size(), 1 + 2 * 2 + 1);
    EXPECT_TRUE(matching.back().contains(shown)); // under its own question, the last
    EXPECT_FALSE(page("2", ExamPageVariant::Review).fragments.join(QString()).contains("笔记"));

    for (const ExamPageVariant during :
         {ExamPageVariant::FirstPage, ExamPageVariant::Navigation, ExamPageVariant::Jump})
        for (const char* tid : {"1", "4"})
            EXPECT_FALSE(page(tid, during).fragments.join(QString()).contains("笔记")) << tid;
}

TEST_F(ExamPage, LetterKeysTickOnlySingleChoiceOptions) {
    EXPECT_EQ(exam::optionForLetter(*bank, "1", 'A'), QStringLiteral("111"));
    EXPECT_EQ(exam::optionForLetter(*bank, "1", 'e'), QStringLiteral("115"));
    EXPECT_EQ(exam::optionForLetter(*bank, "1", 'F'), std::nullopt);
    EXPECT_EQ(exam::optionForLetter(*bank, "2", 'A'), std::nullopt);
    EXPECT_EQ(exam::optionForLetter(*bank, "4", 'A'), std::nullopt);
}

} // namespace
