#include "fixture_bank.h"
#include "other_program.h"
#include "practice/chapter_content.h"
#include "practice/question_notes.h"
#include "search/html_text.h"
#include "search/result_page.h"
#include "search/search_index.h"
#include "services/bank_backup.h"
#include "store/bank.h"
#include "store/question_statements.h"
#include "store/search_statements.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using collections::ViewMode;
using search::SearchIndex;
using search::SearchResult;
using store::Bank;
using testing_support::FixtureBank;

namespace {

// Two chapters: single-answer questions 11 and 12, a case group with 31 and 32.
class SearchFixture {
public:
    SearchFixture() {
        fixture.addDefaultHeader();
        auto& rows = fixture.rows();
        rows.addType({3, "1", "A1型题"});
        rows.addType({10, "8", "案例分析题"});
        rows.addNode({1, "总论", 0, 1, {}, {}});
        rows.addNode({10, "节", 1, 0, {}, {}});
        rows.addNode({101, "第一章", 10, 0, {}, {}});
        rows.addNode({102, "第二章", 10, 0, {}, {}});
        rows.addGroup({1, 101, 3, {}, {}});
        rows.addGroup({2, 101, 3, {}, {}});
        rows.addGroup(
            {3, 102, 10, QStringLiteral("案例：某矿工接触游离<i>二氧化硅</i>二十年"), {}});
        question(11, 1, "矽肺患者的<b>石</b>英接触史",
                 "解析：粉尘 NEAR( 与 \"引号\" OR *星号* -减号 &amp; A&lt;B");
        rows.addOption({111, 11, "A", "肺纤维化"});
        rows.addOption({112, 11, "B", "Silicosis stage II"});
        question(13, 1, "同组的另一道题", {}); // a single-answer group holds two questions
        question(12, 2, "尘肺的分期", "浓度超过 50% 时");
        rows.addOption({121, 12, "A", "tuberculosis"});
        question(31, 3, "该患者最可能的诊断是", {});
        question(32, 3, "下一步检查是", {});
        fixture.finish();
        practice::saveQuestionNote(bank, 12, QStringLiteral("我的记忆口诀：三期两阶段"));
    }

    void question(int id, int group, const char* content, const char* explain) {
        store::Question q;
        q.id = id;
        q.readtextid = group;
        q.content = QString::fromUtf8(content);
        q.explain = QString::fromUtf8(explain);
        q.answer = QStringLiteral("A");
        fixture.rows().addQuestion(q);
    }

    // The ids of the questions the results pages show.
    std::vector<qint64> found(const QString& text, ViewMode mode = ViewMode::WholeBank) {
        const SearchResult result = index.find(text, mode);
        std::vector<qint64> ids;
        for (int page = 0; page < result.pageCount(); ++page) {
            auto content = search::resultPageContent(bank, result, page, mode);
            for (const store::QuestionGroup& group : content->groups())
                for (const store::Question* q : content->questionsOf(group))
                    ids.push_back(q->id);
        }
        EXPECT_LE(result.questionCount, int(ids.size()));
        return ids;
    }

    FixtureBank fixture;
    Bank bank{fixture.bankPath()};
    SearchIndex index{bank};
};

struct Query {
    const char* name;
    const char* text;
    std::vector<qint64> found;
};

void PrintTo(const Query& query, std::ostream* out) {
    *out << query.name;
}

class SearchQueries : public testing::TestWithParam<Query>, public SearchFixture {};

TEST_P(SearchQueries, FindTheQuestionsHoldingTheText) {
    EXPECT_EQ(found(QString::fromUtf8(GetParam().text)), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    OverTheFixtureBank, SearchQueries,
    testing::Values(
        Query{"OneChineseCharacter", "矽", {11}}, Query{"TwoChineseCharacters", "尘肺", {12}},
        Query{"OneCharacterInManyPlaces", "肺", {11, 12}},
        Query{"WordsAcrossFormatting", "石英接触", {11}},
        Query{"LatinIgnoringCase", "SILICOSIS", {11}}, Query{"TwoLatinLetters", "tu", {12}},
        Query{"WordInAnOption", "肺纤维", {11}}, Query{"WordInAnExplanation", "粉尘", {11}},
        Query{"WordInACaseTextFindsTheWholeGroup", "二氧化硅", {31, 32}},
        Query{"WordInANote", "三期两", {12}}, Query{"NearOperatorAsText", "NEAR(", {11}},
        Query{"QuotesAsText", "\"引号\"", {11}}, Query{"OrAsText", "\" OR *", {11}},
        Query{"ShortOrAsText", "OR", {11}}, Query{"StarAsText", "*星号*", {11}},
        Query{"MinusAsText", "-减号", {11}}, Query{"PercentIsNoWildcard", "0%", {12}},
        Query{"UnderscoreIsNoWildcard", "_", {}}, Query{"DecodedReferences", "a<b", {11}},
        Query{"SurroundingBlanksIgnored", "  尘肺的  ", {12}},
        Query{"TagNamesAreNotText", "<b>", {}}, Query{"NoHit", "不存在的词", {}},
        Query{"Empty", "", {}}),
    [](const testing::TestParamInfo<Query>& info) { return std::string(info.param.name); });

class Search : public testing::Test, public SearchFixture {};

TEST_F(Search, IsLimitedToTheViewsQuestions) {
    store::setQuestionFlag(bank, 11, store::QuestionFlag::Favourite, true);
    store::setQuestionFlag(bank, 32, store::QuestionFlag::Wrong, true);
    EXPECT_EQ(found("肺", ViewMode::Favourites), std::vector<qint64>{11});
    EXPECT_EQ(found("二氧化硅", ViewMode::WrongQuestions), std::vector<qint64>{32});
    EXPECT_EQ(found("二氧化硅", ViewMode::Favourites), std::vector<qint64>{});
}

TEST_F(Search, TheIndexIsBuiltOnceAndANewNoteIsFoundAtOnce) {
    EXPECT_TRUE(index.needsBuilding());
    EXPECT_EQ(found("矽肺"), std::vector<qint64>{11});
    EXPECT_FALSE(index.needsBuilding());
    SearchIndex later(bank); // a new session checks the index against the bank
    EXPECT_FALSE(later.needsBuilding());
    practice::saveQuestionNote(bank, 31, QStringLiteral("职业史很关键"));
    EXPECT_EQ(found("职业史"), (std::vector<qint64>{31, 32}));
}

TEST_F(Search, AnIndexFilledInManyBatchesFindsWhatOneBatchFinds) {
    std::vector<qint64> filled;
    bank.inTransaction([&] {
        store::clearSearchIndex(bank);
        store::fillSearchIndex(bank, 2, search::plainText,
                               [&](qint64 done) { filled.push_back(done); });
        store::setIndexedFingerprint(bank, store::contentFingerprint(bank));
    });
    EXPECT_EQ(filled, (std::vector<qint64>{2, 4, 6})); // five questions
    EXPECT_FALSE(index.needsBuilding());
    EXPECT_EQ(found("肺"), (std::vector<qint64>{11, 12}));
    EXPECT_EQ(found("石英接触"), std::vector<qint64>{11});
    EXPECT_EQ(found("二氧化硅"), (std::vector<qint64>{31, 32}));
    EXPECT_EQ(found("三期两"), std::vector<qint64>{12});
}

TEST_F(Search, TheIndexFollowsChangedContentAndARestore) {
    EXPECT_EQ(found("矽肺"), std::vector<qint64>{11});
    bank.close();
    QTemporaryDir elsewhere;
    const QString backupPath = elsewhere.filePath("backup.db");
    services::backupBank(fixture.bankPath(), backupPath);
    {
        testing_support::OtherProgram other(fixture.bankPath());
        other.run("UPDATE question SET content = '钨合金粉尘' WHERE id = 11");
    }
    index.forget();
    EXPECT_EQ(found("钨合金"), std::vector<qint64>{11});
    EXPECT_EQ(found("矽肺"), std::vector<qint64>{});

    services::restoreBank(fixture.programFolder(), backupPath);
    index.forget();
    EXPECT_FALSE(index.needsBuilding()); // the backup carries its own index
    EXPECT_EQ(found("钨合金"), std::vector<qint64>{});
    EXPECT_EQ(found("矽肺"), std::vector<qint64>{11});
}

TEST_F(Search, ResultPagesHoldWholeGroupsAndMarkTheWordsFound) {
    const SearchResult result = index.find("二氧化硅", ViewMode::WholeBank);
    EXPECT_EQ(result.questionCount, 2);
    ASSERT_EQ(result.pageCount(), 1);
    EXPECT_TRUE(search::resultHeaderFragment(result, 0).contains("找到 2 道题"));
    EXPECT_EQ(search::resultFooterFragment(result, 0), QString());
    QStringList fragments;
    search::resultPageBuilder(bank, result, 0, ViewMode::WholeBank)->writeRest(fragments);
    const QString page = fragments.join(QString());
    EXPECT_TRUE(page.contains("游离<i><mark>二氧化硅</mark></i>二十年")) << page.toStdString();
    EXPECT_TRUE(page.contains("id ='fan31'") && page.contains("id ='fan32'"));
}

TEST(SearchPhrase, EveryTypedCharacterIsQuoted) {
    EXPECT_EQ(search::phraseOf("a\"b OR c*"), "\"a\"\"b OR c*\"");
}

TEST(ResultPaging, PagesEndAfterTwoHundredQuestionsFoundAndKeepGroupsWhole) {
    FixtureBank fixture;
    fixture.addDefaultHeader();
    auto& rows = fixture.rows();
    rows.addType({3, "1", "A1型题"});
    rows.addNode({1, "总论", 0, 1, {}, {}});
    rows.addNode({101, "章", 1, 0, {}, {}});
    // 150 groups of two questions each: 300 found.
    for (int g = 1; g <= 150; ++g) {
        rows.addGroup({g, 101, 3, {}, {}});
        for (int k = 0; k < 2; ++k) {
            store::Question q;
            q.id = g * 10 + k;
            q.readtextid = g;
            q.content = QStringLiteral("共同的题干 %1").arg(q.id);
            rows.addQuestion(q);
        }
    }
    fixture.finish();
    Bank bank(fixture.bankPath());
    SearchIndex index(bank);
    const SearchResult result = index.find("共同的", ViewMode::WholeBank);
    EXPECT_EQ(result.questionCount, 300);
    ASSERT_EQ(result.pageCount(), 2);
    EXPECT_EQ(search::resultPageContent(bank, result, 0, ViewMode::WholeBank)->groups().size(),
              100u);
    EXPECT_EQ(result.firstOfPage, (std::vector<int>{1, 201}));
    EXPECT_TRUE(search::resultHeaderFragment(result, 1).contains("本页显示第 201–300 道"));
    EXPECT_TRUE(search::resultFooterFragment(result, 0).contains("http://srch1"));
    EXPECT_TRUE(search::resultFooterFragment(result, 1).contains("http://srch0"));
}

struct Marking {
    const char* name;
    const char* html;
    const char* words;
    const char* marked;
};

void PrintTo(const Marking& marking, std::ostream* out) {
    *out << marking.name;
}

class MarkedHtml : public testing::TestWithParam<Marking> {};

TEST_P(MarkedHtml, MarksTextOnly) {
    EXPECT_EQ(
        search::markedHtml(QString::fromUtf8(GetParam().html), QString::fromUtf8(GetParam().words)),
        QString::fromUtf8(GetParam().marked));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkedHtml,
    testing::Values(
        Marking{"PlainText", "矽肺患者", "矽肺", "<mark>矽肺</mark>患者"},
        Marking{"EveryOccurrence", "肺与肺", "肺", "<mark>肺</mark>与<mark>肺</mark>"},
        Marking{"AcrossATag", "矽<b>肺</b>病", "矽肺", "<mark>矽</mark><b><mark>肺</mark></b>病"},
        Marking{"AttributesUntouched", "<img src=\"矽肺.png\" alt='a>矽肺'>矽肺", "矽肺",
                "<img src=\"矽肺.png\" alt='a>矽肺'><mark>矽肺</mark>"},
        Marking{"ReferencesKeptWhole", "A&amp;B &lt;b&gt;", "a&b <b>",
                "<mark>A&amp;B &lt;b&gt;</mark>"},
        Marking{"IgnoringCase", "Silicosis", "SILI", "<mark>Sili</mark>cosis"},
        Marking{"NoBreakSpaceIsASpace", "二期&nbsp;矽肺", "期 矽", "二<mark>期&nbsp;矽</mark>肺"},
        Marking{"TagNamesAreNotText", "<b>粗</b>", "b", "<b>粗</b>"},
        Marking{"CommentsUntouched", "<!-- 矽肺 -->矽肺", "矽肺", "<!-- 矽肺 --><mark>矽肺</mark>"},
        Marking{"NothingFound", "<i>尘肺</i>", "矽", "<i>尘肺</i>"}),
    [](const testing::TestParamInfo<Marking>& info) { return std::string(info.param.name); });

TEST(PlainText, IsWhatAReaderSees) {
    EXPECT_EQ(search::plainText("矽<b>肺</b>"), "矽肺");
    EXPECT_EQ(search::plainText("一<br>二<p>三</p>"), "一\n二\n三");
    EXPECT_EQ(search::plainText("<script>var 矽肺;</script><style>b{}</style>文"), "文");
    EXPECT_EQ(search::plainText("&lt;&#x4e2d;&#25991;&nbsp;&bogus;x"), "<中文 \uFFFFx");
}

} // namespace
