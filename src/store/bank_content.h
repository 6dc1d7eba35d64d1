#pragma once

#include "store/rows.h"

#include <vector>

namespace store {

// Everything a bank file holds about its questions, in the order it is stored:
// what the bank tool reads from its sources and what importers read from
// documents, written by the same statements.
struct BankContent {
    Subject subject;
    std::vector<QuestionType> types;
    std::vector<TreeNode> nodes;
    std::vector<QuestionGroup> groups;
    std::vector<Question> questions;
    std::vector<Option> options;
};

} // namespace store
