#pragma once

#include "store/bank.h"
#include "store/bank_builder.h"

// A small exam bank and a paper of one item of each type, for the exam's tests:
//   "1"   single choice, question 11, options 111–115 (A–E), picture pic/a.png,
//         answer B, stored answer C
//   "2"   multiple choice, question 21, options 211–215, answer ACD, stored ACD
//   "3.1" case item, question 31 of case group 3, options 311–314, answer A
//   "4"   matching group 4, xx 5, sub-questions 41 (answer B, stored B) and
//         42 (answer A, stored D), stored group answer "DB"
namespace testing_support {

void addExamBankContent(store::BankBuilder& rows);
void writeSamplePaper(store::Bank& bank);

} // namespace testing_support
