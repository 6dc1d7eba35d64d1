#pragma once

#include "store/bank.h"
#include "store/rows.h"

#include <optional>

// What the bank says about itself: its subject (`kemu`, first row) and its size (`geshu`).
namespace store {

std::optional<Subject> subject(Bank& bank);
std::optional<QString> questionCount(Bank& bank);

} // namespace store
