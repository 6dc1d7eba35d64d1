#pragma once

#include "store/bank.h"
#include "store/rows.h"

#include <vector>

// Questions picked by id from anywhere in the bank (a drill, a past exam),
// read a whole set per statement. Ids the bank lacks are left out.
namespace store {

// Where a question sits: its group, the group's chapter and its type's code.
struct QuestionPlace {
    qint64 questionId = 0;
    qint64 groupId = 0;
    qint64 chapterId = 0;
    QString typeCode;
};
std::vector<QuestionPlace> placesOfQuestions(Bank& bank, const std::vector<qint64>& questionIds);

// The groups of the questions, in ascending type order, in stored order within a type.
std::vector<QuestionGroup> groupsOfQuestions(Bank& bank, const std::vector<qint64>& questionIds);
// The questions in stored order.
std::vector<Question> questionsWithIds(Bank& bank, const std::vector<qint64>& questionIds);
// Their options in stored order.
std::vector<Option> optionsOfQuestions(Bank& bank, const std::vector<qint64>& questionIds);
// The ids of every question of the groups, in stored order.
std::vector<qint64> questionIdsOfGroups(Bank& bank, const std::vector<qint64>& groupIds);

} // namespace store
