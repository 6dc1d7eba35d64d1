#pragma once

#include "store/bank.h"
#include "store/collection_flag.h"
#include "store/exam_type.h"
#include "store/rows.h"

#include <optional>
#include <vector>

// Question groups (`readtext`), question types (`qtype`), questions and their
// options (`opinion`).
namespace store {

// Groups come in ascending type order, and in stored order within a type.
std::vector<QuestionGroup> groupsOfChapter(Bank& bank, qint64 treeId);
std::optional<QuestionGroup> groupById(Bank& bank, qint64 id);
std::vector<QuestionGroup> groupsOfExamType(Bank& bank, ExamType type);

std::optional<QuestionType> typeById(Bank& bank, qint64 id);
std::vector<QuestionType> allTypes(Bank& bank);

std::optional<Question> questionById(Bank& bank, qint64 id);
std::vector<Question> questionsOfGroup(Bank& bank, qint64 groupId);
std::vector<Question> flaggedQuestionsOfGroup(Bank& bank, qint64 groupId, CollectionFlag flag);
std::vector<Question> flaggedQuestions(Bank& bank, CollectionFlag flag);
std::vector<Question> wrongQuestionsById(Bank& bank);
// The ids of the questions tagged a1 or a2 in `lx` (the single- and
// multiple-choice pools), in stored order; a drawing reads only the rows it takes.
std::vector<qint64> questionIdsTagged(Bank& bank, ExamType type);

enum class QuestionFlag { Favourite, Wrong, WrongInLastGrading };
void setQuestionFlag(Bank& bank, qint64 id, QuestionFlag flag, bool set);
void setQuestionLx(Bank& bank, qint64 id, const QString& lx);
void clearLastGradingFlags(Bank& bank);
// Puts a question graded wrong into the wrong-question bank and marks it as
// wrong in this grading.
void markGradedWrong(Bank& bank, const std::vector<qint64>& ids);
bool hasFlaggedQuestions(Bank& bank, CollectionFlag flag);
// Takes the questions found wrong in the last grading out of the wrong-question bank.
void dropLastGradingFromWrongBank(Bank& bank);

// Options in stored order: the order of the letters in `question.answer`.
std::vector<Option> optionsOfQuestion(Bank& bank, qint64 questionId);

// A whole chapter at once, for pages: its questions in stored order (only those
// carrying `flag` when given) and the options of all its questions.
std::vector<Question> questionsOfChapter(Bank& bank, qint64 treeId,
                                         std::optional<CollectionFlag> flag = std::nullopt);
std::vector<Option> optionsOfChapter(Bank& bank, qint64 treeId);
// The same rows with only what grading reads: a question's id, group and
// answer; an option's id and question.
std::vector<Question> answersOfChapter(Bank& bank, qint64 treeId,
                                       std::optional<CollectionFlag> flag = std::nullopt);
std::vector<Option> optionIdsOfChapter(Bank& bank, qint64 treeId);

// Where a question stands, without its texts: enough to draw from a pool and
// to put what is drawn in the order of a chapter's page.
struct QuestionPlace {
    qint64 id = 0;
    qint64 readtextid = 0;
    qint64 qtypeid = 0;
    qint64 treeid = 0;
    // Stored order of the group and of the question.
    qint64 groupRow = 0;
    qint64 row = 0;
};

// Groups, questions and options of a set of groups (readtext ids), e.g. those
// of search results.
std::vector<QuestionGroup> groupsByIds(Bank& bank, const std::vector<qint64>& groupIds);
std::vector<Question> questionsOfGroups(Bank& bank, const std::vector<qint64>& groupIds,
                                        std::optional<CollectionFlag> flag = std::nullopt);
std::vector<Option> optionsOfGroups(Bank& bank, const std::vector<qint64>& groupIds);

} // namespace store
