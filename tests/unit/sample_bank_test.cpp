// The bundled sample bank, as the build lays it into the program folder.

#include "store/bank.h"
#include "store/exam_statements.h"
#include "store/question_statements.h"
#include "store/subject_statements.h"
#include "store/tally_statements.h"
#include "store/tree_statements.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace store;

namespace {

const QString programFolder = QStringLiteral(PROGRAM_FOLDER "/");

struct Census {
    int tops = 0, sections = 0, chapters = 0;
    std::vector<Question> questions;
    std::map<int, int> questionsPerType;
    std::vector<std::pair<QuestionGroup, std::vector<Question>>> groups;
};

class SampleBank : public testing::Test {
protected:
    static void SetUpTestSuite() {
        bank = new Bank(Bank::pathIn(programFolder));
        census = new Census;
        for (const TreeNode& top : topLevelNodes(*bank)) {
            ++census->tops;
            for (const TreeNode& section : childNodes(*bank, top.id)) {
                ++census->sections;
                for (const TreeNode& chapter : childNodes(*bank, section.id)) {
                    ++census->chapters;
                    for (const QuestionGroup& group : groupsOfChapter(*bank, chapter.id)) {
                        auto questions = questionsOfGroup(*bank, group.id);
                        census->questionsPerType[group.qtypeid] += int(questions.size());
                        census->questions.insert(census->questions.end(), questions.begin(),
                                                 questions.end());
                        census->groups.emplace_back(group, std::move(questions));
                    }
                }
            }
        }
    }
    static void TearDownTestSuite() {
        delete census;
        delete bank;
    }

    int groupsOfTypeSized(int type, int low, int high) const {
        int count = 0;
        for (const auto& [group, questions] : census->groups)
            count += group.qtypeid == type && int(questions.size()) >= low &&
                     int(questions.size()) <= high;
        return count;
    }

    static Bank* bank;
    static Census* census;
};

Bank* SampleBank::bank = nullptr;
Census* SampleBank::census = nullptr;

TEST_F(SampleBank, HasTheSizeOfARealBank) {
    EXPECT_GE(census->tops, 3);
    EXPECT_GE(census->sections, 8);
    EXPECT_GE(census->chapters, 20);
    EXPECT_GE(census->questions.size(), 300u);
    EXPECT_EQ(*questionCount(*bank), QString::number(census->questions.size()));
    EXPECT_EQ(subject(*bank)->ID, QString("职业病学（中级）"));
    EXPECT_FALSE(subject(*bank)->mz.isEmpty());
}

TEST_F(SampleBank, CoversEveryTypeAndTheTallyHeadings) {
    std::set<QString> codes, titles;
    for (int id = 3; id <= 11; ++id) {
        const auto type = typeById(*bank, id);
        ASSERT_TRUE(type.has_value()) << id;
        codes.insert(type->code);
        titles.insert(type->title);
        EXPECT_GT(census->questionsPerType[id], 0) << "group type " << id;
    }
    EXPECT_EQ(codes, (std::set<QString>{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    for (const char* heading :
         {"B型题配伍选择题", "五个公用备选多个题每题一个选项9", "阅读案例多个问题8",
          "A3/A4型题：每个案例至少有3个提问，每个提问有4-12个备选答案，其中正确答案有一个或多个。"})
        EXPECT_TRUE(titles.count(QString(heading))) << heading;
    EXPECT_GE(census->questionsPerType[3] + census->questionsPerType[4] +
                  census->questionsPerType[5],
              150);
}

TEST_F(SampleBank, HasCaseAndMatchingGroupsOfThreeToFive) {
    EXPECT_GE(groupsOfTypeSized(10, 3, 5), 12);
    EXPECT_GE(groupsOfTypeSized(11, 3, 5), 12);
    for (const auto& [group, questions] : census->groups) {
        if (group.qtypeid == 11) {
            EXPECT_EQ(group.opnum, QString("5")) << group.id;
        }
        if (group.qtypeid == 10 || group.qtypeid == 11) {
            EXPECT_FALSE(group.content.isEmpty()) << group.id;
        }
        for (const Question& question : questions) {
            if (group.qtypeid == 10) {
                EXPECT_FALSE(question.itemnum.isEmpty()) << question.id;
            }
        }
    }
}

TEST_F(SampleBank, EveryQuestionIsExplainedAndItsPictureShips) {
    int withPicture = 0;
    for (const Question& question : census->questions) {
        EXPECT_FALSE(question.explain.trimmed().isEmpty()) << question.id;
        EXPECT_FALSE(question.answer.isEmpty()) << question.id;
        if (hasPicture(question)) {
            ++withPicture;
            EXPECT_TRUE(QFileInfo(programFolder + question.picurl).isFile())
                << question.picurl.toStdString();
        }
    }
    EXPECT_GE(withPicture, 6);
}

TEST_F(SampleBank, StartsWithDefaultExamParametersAndNoResults) {
    const auto parameters = examParameters(*bank);
    ASSERT_EQ(parameters.size(), 4u);
    QStringList counts;
    for (const ExamParameter& parameter : parameters)
        counts << parameter.txs;
    EXPECT_EQ(counts, QStringList({"20", "0", "3", "3"}));
    EXPECT_EQ(parameters[0].fg, QString("20"));
    EXPECT_TRUE(tallies(*bank).empty());
    EXPECT_TRUE(paperItems(*bank).empty());
    EXPECT_TRUE(flaggedQuestions(*bank, CollectionFlag::Favourite).empty());
    EXPECT_TRUE(flaggedQuestions(*bank, CollectionFlag::Wrong).empty());
}

} // namespace
