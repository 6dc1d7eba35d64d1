#pragma once

#include "store/bank.h"
#include "store/bank_content.h"

#include <functional>

// Adding content to a bank that already holds some: imports.
namespace store {

// The largest id of each content table; 0 for an empty table.
struct LargestIds {
    qint64 node = 0;
    qint64 group = 0;
    qint64 question = 0;
    qint64 option = 0;
};
LargestIds largestIds(Bank& bank);

// Inserts the content's types, nodes, groups, questions and options, in that
// order, a batch of rows per statement. `afterBatch` runs after each batch of
// questions with the number written so far. Call inside a transaction.
void appendContent(Bank& bank, const BankContent& content,
                   const std::function<void(int questionsWritten)>& afterBatch = {});

// The number of questions in the bank, counted.
qint64 countQuestions(Bank& bank);
// Sets the question count the status bar shows (`geshu`), adding its row when missing.
void setQuestionCount(Bank& bank, qint64 count);

// The top-level nodes (code 1) named `name`.
std::vector<qint64> topNodesNamed(Bank& bank, const QString& name);

} // namespace store
