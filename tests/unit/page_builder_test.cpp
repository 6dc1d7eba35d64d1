#include "fixture_bank.h"
#include "practice/page_builder.h"
#include "store/bank.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using collections::ViewMode;
using practice::buildChapterPage;
using testing_support::FixtureBank;

namespace {

constexpr int chapter = 101;

// A chapter bank with the nine group types; tests add groups and questions.
class PageBuilder : public testing::Test {
protected:
    void SetUp() override {
        auto& rows = fixture.rows();
        const std::pair<int, const char*> types[] = {
            {3, "1"}, {4, "2"}, {6, "4"}, {10, "8"}, {11, "9"}};
        for (const auto& [id, code] : types)
            rows.addType({id, code, QStringLiteral("题型%1").arg(id)});
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addNode({10, "节", 1, 0, {}, {}});
        rows.addNode({chapter, "章", 10, 0, {}, {}});
    }

    void group(int id, int type, const QString& content = {}, const QString& opnum = {}) {
        fixture.rows().addGroup({id, chapter, type, content, opnum});
    }

    // A question with options A and B (none in matching groups).
    store::Question& question(int id, int groupId, bool withOptions = true) {
        store::Question q;
        q.id = id;
        q.readtextid = groupId;
        q.content = QStringLiteral("题%1").arg(id);
        q.answer = QStringLiteral("A");
        q.explain = QStringLiteral("解析%1").arg(id);
        pending.push_back(q);
        if (withOptions)
            optionQuestions.push_back(id);
        return pending.back();
    }

    // Plain, case and matching groups, stored out of type order.
    void mixedChapter() {
        group(1, 10, "病例一");
        group(2, 11, "配伍", "5");
        group(3, 3);
        group(4, 10, "病例二");
        group(5, 6);
        for (int id : {31, 32})
            question(id, 3);
        question(51, 5);
        for (int id : {11, 12, 13})
            question(id, 1);
        for (int id : {41, 42})
            question(id, 4);
        for (int id : {21, 22})
            question(id, 2, false);
    }

    QStringList page(ViewMode mode = ViewMode::WholeBank) {
        for (const store::Question& q : pending)
            fixture.rows().addQuestion(q);
        for (int id : optionQuestions) {
            fixture.rows().addOption({id * 10 + 1, id, "A", "甲"});
            fixture.rows().addOption({id * 10 + 2, id, "B", "乙"});
        }
        fixture.finish();
        store::Bank bank(fixture.bankPath());
        QStringList fragments;
        buildChapterPage(bank, chapter, mode, fragments);
        return fragments;
    }

    FixtureBank fixture;
    std::vector<store::Question> pending;
    std::vector<int> optionQuestions;
};

// The numbers a page shows, in order: group texts ("3.") and questions ("3.1. ").
QStringList numbersOf(const QStringList& fragments) {
    static const QRegularExpression text(
        QStringLiteral("^&nbsp <span  id ='fan\\d+'>([\\d.]+\\. )"));
    static const QRegularExpression matching(QStringLiteral("^&nbsp(\\d+\\.\\d+\\. ) <select"));
    static const QRegularExpression groupText(QStringLiteral("^&nbsp(\\d+\\.)[^\\d ]"));
    QStringList numbers;
    for (const QString& fragment : fragments) {
        for (const auto* pattern : {&text, &matching, &groupText}) {
            if (const auto match = pattern->match(fragment); match.hasMatch())
                numbers << match.captured(1);
        }
    }
    return numbers;
}

QString answerBlock(int q, const QString& favourite = "收藏本题") {
    return QStringLiteral(
               "<div  style=\"cursor:hand;\"><tr><td width=\"100%\"> <div align=\"right\" > "
               "<input id=\"xs%1\" onclick=\"xsda(this,'ansnote%1')\" name=\"sanyangxsda\" "
               "type=\"button\" value=\"显示答案\"/><input id=\"sc\"  onclick=\"scbt(this); "
               "window.location.href='http://scbt%1'\" name=\"sanyangscbt\" type=\"button\" "
               "value=\"%2\"/><input  name=\"sanyangctfk\" onclick=\"window.location.href='http://"
               "ctfk%1'\" type=\"button\" value=\"错题反馈\" /><input name=\"sanyangbj\" "
               "onclick=\"window.location.href='http://note%1'\" type=\"button\" value=\"笔记\" /> "
               "</div>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
               "&nbsp;&nbsp;&nbsp;</div><div  class=\"Answer\" id=\"ansnote%1\" value=\"A\" "
               "style=\"display:none\">正确答案：A 答案解析：解析%1</div></td></tr> "
               "<div class=\"mqnote\" id=\"note%1\" style=\"display:none\"></div>")
        .arg(q)
        .arg(favourite);
}

TEST_F(PageBuilder, SingleAnswerQuestionIsWrittenExactly) {
    group(1, 3);
    question(7, 1);
    EXPECT_EQ(page(), QStringList({
                          "&nbsp <b>题型3</b>",
                          "<br><br>",
                          "&nbsp <span  id ='fan7'>1. 题7</span>",
                          "<br>",
                          "<br>",
                          "&nbsp <input type=\"radio\" id=\"71\"  name=\"7\" value=\"A\" "
                          "aria-labelledby=\"opt71\"><span id=\"opt71\">A:甲</span><br>",
                          "<br>",
                          "&nbsp <input type=\"radio\" id=\"72\"  name=\"7\" value=\"B\" "
                          "aria-labelledby=\"opt72\"><span id=\"opt72\">B:乙</span><br>",
                          answerBlock(7),
                          "<hr>",
                      }));
}

TEST_F(PageBuilder, MultipleAnswerQuestionHasCheckBoxesAndItsPicture) {
    group(1, 6);
    question(7, 1).picurl = "pic/a.svg";
    const QStringList fragments = page();
    ASSERT_EQ(fragments.size(), 11);
    EXPECT_EQ(fragments[2], "&nbsp<br><p> 如图所示：<img src=\"./pic/a.svg\"> </p> <br>");
    EXPECT_EQ(fragments[3], "&nbsp <span  id ='fan7'>1. 题7</span>");
    EXPECT_EQ(fragments[6], "&nbsp <input type=\"checkbox\" id=\"71\" name=\"7\" value=\"A\" "
                            "aria-labelledby=\"opt71\"><span id=\"opt71\">A:甲</span><br>");
}

TEST_F(PageBuilder, BankTextsAreSanitisedAndBankValuesInAttributesEscaped) {
    group(1, 10, "病例<iframe src=x></iframe>");
    store::Question& q = question(7, 1);
    q.content = "题<script>alert(1)</script>H<sub>2</sub>O";
    q.picurl = "a.png\" onerror=\"alert(1)";
    q.answer = "A\"B";
    q.explain = "<b onclick=\"alert(1)\">解</b>";
    const QStringList fragments = page();
    ASSERT_EQ(fragments.size(), 13);
    EXPECT_EQ(fragments[2], "&nbsp1.病例");
    EXPECT_EQ(
        fragments[4],
        "&nbsp<br><p> 如图所示：<img src=\"./a.png&quot; onerror=&quot;alert(1)\"> </p> <br>");
    EXPECT_EQ(fragments[5], "&nbsp <span  id ='fan7'>1.1. 题H<sub>2</sub>O</span>");
    EXPECT_TRUE(fragments[11].endsWith("<div  class=\"Answer\" id=\"ansnote7\" value=\"A&quot;B\" "
                                       "style=\"display:none\">正确答案：A\"B 答案解析：<b>解</b>"
                                       "</div></td></tr> <div class=\"mqnote\" id=\"note7\" "
                                       "style=\"display:none\"></div>"))
        << fragments[11].toStdString();
}

TEST_F(PageBuilder, BankTextsCloseWhatTheyOpenAndLongOnesAreCut) {
    group(1, 3);
    question(7, 1).explain = "解析<div style=\"display:none\">";
    question(8, 1).content = QString(100000, u'长');
    const QStringList fragments = page();
    EXPECT_TRUE(fragments.contains(
        answerBlock(7).replace("解析7</div>", "解析<div style=\"display:none\"></div></div>")));
    // 21 845 three-byte characters fill 64 KiB but for one byte.
    EXPECT_TRUE(fragments.contains("&nbsp <span  id ='fan8'>2. " + QString(21845, u'长') +
                                   "……（内容过长，已截断）</span>"));
}

TEST_F(PageBuilder, CaseQuestionIsWrittenExactly) {
    group(1, 10, "病例");
    question(7, 1).picurl = "   ";
    const QStringList fragments = page();
    EXPECT_EQ(fragments.mid(0, 6),
              QStringList({"&nbsp <b>题型10</b>", "<br><br>", "&nbsp1.病例", "<br><br>",
                           "&nbsp <span  id ='fan7'>1.1. 题7</span>", "<br>"}));
    EXPECT_EQ(fragments[7], "&nbsp <input type=\"checkbox\" id=\"71\" name=\"7\" value=\"A\" "
                            "aria-labelledby=\"opt71\"><span id=\"opt71\">A:甲</span><br>");
    EXPECT_EQ(fragments.mid(10), QStringList({answerBlock(7), "<hr>"}));
}

TEST_F(PageBuilder, MatchingQuestionIsWrittenExactly) {
    group(1, 11, "A．甲 B．乙", "5");
    question(7, 1, false).scbt = "1";
    EXPECT_EQ(page(),
              QStringList({
                  "&nbsp <b>题型11</b>",
                  "<br><br>",
                  "&nbsp1.A．甲 B．乙",
                  "<br><br>",
                  "&nbsp1.1.  <select name=\"cars\" id=\"a7\" aria-labelledby=\"fan7\"> <option "
                  "value=\"daan\" "
                  "selected>答案 <option value=\"A\">A <option value=\"B\">B <option "
                  "value=\"C\">C <option value=\"D\">D <option value=\"E\">E </select><span "
                  "id ='fan7'>题7</span>",
                  "<br>",
                  answerBlock(7, "取消收藏"),
                  "<hr>",
              }));
}

TEST_F(PageBuilder, MatchingLettersStopAtO) {
    group(1, 11, "配伍", "20");
    question(7, 1, false);
    const QString dropDown = page()[4];
    EXPECT_TRUE(dropDown.contains("<option value=\"O\">O </select>")) << dropDown.toStdString();
    EXPECT_EQ(dropDown.count("<option value="), 16);
}

TEST_F(PageBuilder, NumbersRunAcrossPlainCaseAndMatchingGroups) {
    mixedChapter();
    const QStringList fragments = page();
    // Groups come by type: 3, 6, the two case groups, then matching.
    EXPECT_EQ(numbersOf(fragments),
              QStringList({"1. ", "2. ", "3. ", "4.", "4.1. ", "4.2. ", "4.3. ", "5.", "5.1. ",
                           "5.2. ", "6.", "6.1. ", "6.2. "}));
    EXPECT_EQ(fragments.count("&nbsp <b>题型10</b>"), 1);
    EXPECT_EQ(fragments.count("&nbsp <b>题型11</b>"), 1);
}

// The first groups read one by one and the rest read at once (written at once
// or in parts) make the page the chapter read at once makes, wherever the
// first step stops; it stops after the group that brings it to what was asked for.
TEST_F(PageBuilder, APageBuiltInTwoStepsIsThePageBuiltAtOnce) {
    mixedChapter();
    for (store::Question& q : pending) {
        if (q.id % 2 == 1)
            q.scbt = "1";
    }
    pending.front().picurl = "tp/x.svg";
    page();
    store::Bank bank(fixture.bankPath());
    for (ViewMode mode : {ViewMode::WholeBank, ViewMode::Favourites}) {
        QStringList atOnce;
        buildChapterPage(bank, chapter, mode, atOnce);
        for (int atLeast : {0, 1, 12, 40, 1000}) {
            SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", at least " << atLeast);
            practice::ChapterPageBuilder builder(bank, chapter, mode);
            QStringList first;
            builder.writeFirst(atLeast, first);
            EXPECT_EQ(builder.finished(), first.size() == atOnce.size());
            if (!builder.finished()) {
                EXPECT_GE(first.size(), atLeast);
            }
            EXPECT_EQ(first, atOnce.mid(0, first.size()));
            QStringList whole = first;
            builder.writeRest(whole);
            EXPECT_EQ(whole, atOnce);
            EXPECT_TRUE(builder.finished());

            // The rest in small parts comes out the same.
            practice::ChapterPageBuilder inParts(bank, chapter, mode);
            QStringList parted;
            inParts.writeFirst(atLeast, parted);
            // The rest is read on a worker thread: parts come once it is in.
            QElapsedTimer waited;
            waited.start();
            while (!inParts.finished() && waited.elapsed() < 20000)
                inParts.writeMore(7, parted);
            EXPECT_EQ(parted, atOnce);
        }
    }
}

// The rest is read on a worker thread with a connection of its own: a bank
// file gone meanwhile ends the page with the store's error, as a read on this
// thread would, and a builder dropped before its read arrives leaves the
// read to end by itself.
TEST_F(PageBuilder, ARestReadElsewhereFailsAsTheStoreDoesAndMayBeLeftUnfinished) {
    mixedChapter();
    page();
    store::Bank bank(fixture.bankPath());
    {
        practice::ChapterPageBuilder left(bank, chapter, ViewMode::WholeBank);
        QStringList fragments;
        left.writeFirst(1, fragments);
        left.writeMore(1, fragments);
    }
    practice::ChapterPageBuilder builder(bank, chapter, ViewMode::WholeBank);
    QStringList fragments;
    builder.writeFirst(1, fragments);
    ASSERT_FALSE(builder.finished());
    ASSERT_TRUE(QFile::rename(fixture.bankPath(), fixture.bankPath() + ".gone"));
    QElapsedTimer waited;
    waited.start();
    EXPECT_THROW(while (!builder.finished() && waited.elapsed() < 20000)
                     builder.writeMore(1, fragments),
                 store::StoreError);
}

TEST_F(PageBuilder, EveryPlainGroupShowsItsHeading) {
    group(1, 3);
    group(2, 3);
    question(7, 1);
    question(8, 2);
    const QStringList fragments = page();
    EXPECT_EQ(fragments.count("&nbsp <b>题型3</b>"), 2);
    EXPECT_EQ(numbersOf(fragments), QStringList({"1. ", "2. "}));
}

TEST_F(PageBuilder, FavouritesShowOnlyMarkedQuestionsNumberedAmongThemselves) {
    group(1, 3);
    group(2, 10, "病例");
    group(3, 11, "配伍", "5");
    question(7, 1);
    question(21, 2);
    question(22, 2).scbt = "1";
    question(31, 3, false);
    const QStringList fragments = page(ViewMode::Favourites);
    EXPECT_EQ(numbersOf(fragments), QStringList({"1.", "1.1. "}));
    EXPECT_FALSE(fragments.join("").contains("题型3"));
    EXPECT_FALSE(fragments.join("").contains("题型11"));
    EXPECT_TRUE(fragments.join("").contains("id ='fan22'>1.1. 题22"));
}

TEST_F(PageBuilder, WrongQuestionModeFiltersByTheWrongFlag) {
    group(1, 3);
    question(7, 1).ct = "1";
    question(8, 1).scbt = "1";
    EXPECT_EQ(numbersOf(page(ViewMode::WrongQuestions)), QStringList({"1. "}));
}

TEST_F(PageBuilder, TypeCodeThatIsNoNumberStopsAfterWhatWasBuilt) {
    fixture.rows().addType({12, "x", "坏题型"});
    group(1, 3);
    group(2, 12);
    question(7, 1);
    question(8, 2);
    QStringList fragments;
    for (const store::Question& q : pending)
        fixture.rows().addQuestion(q);
    fixture.finish();
    store::Bank bank(fixture.bankPath());
    EXPECT_THROW(buildChapterPage(bank, chapter, ViewMode::WholeBank, fragments),
                 store::StoreError);
    EXPECT_EQ(fragments.first(), "&nbsp <b>题型3</b>");
    EXPECT_EQ(fragments.last(), "<hr>");
}

TEST_F(PageBuilder, PreviewShowsTheQuestionWithItsAnswerAndNoButtons) {
    group(1, 10, "病例");
    question(7, 1);
    question(8, 1);
    page();
    store::Bank bank(fixture.bankPath());
    const practice::QuestionPreview preview = practice::buildQuestionPreview(bank, 8);
    EXPECT_EQ(preview.questionId, 8);
    EXPECT_EQ(preview.questionText, "题8");
    EXPECT_EQ(preview.fragments,
              QStringList({"&nbsp <b>题型10</b>", "<br>", "&nbsp1.病例", "<br>", "&nbsp1.1. 题8",
                           "<br>", "<br>",
                           "&nbsp <input type=\"checkbox\" id=\"81\" name=\"8\" value=\"A\" "
                           "aria-labelledby=\"opt81\"><span id=\"opt81\">A:甲</span>",
                           "<br>",
                           "&nbsp <input type=\"checkbox\" id=\"82\" name=\"8\" value=\"B\" "
                           "aria-labelledby=\"opt82\"><span id=\"opt82\">B:乙</span>",
                           "<br> <br><div class=\"Answer\" id=\"ansnote8\" value=\"A\" "
                           "style=\"display\">正确答案：A</div></td></tr><br><br> "}));
    EXPECT_TRUE(practice::buildQuestionPreview(bank, 99).fragments.isEmpty());
}

} // namespace
