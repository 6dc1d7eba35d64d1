#pragma once

#include "bank_content.h"

#include <cstdint>

namespace banktool {

struct SyntheticShape {
    int questions = 1000;
    std::uint32_t seed = 1;
    // Questions per chapter, roughly: a chapter closes once it holds this many.
    int chapterQuestions = 60;
};

// A bank of the given size over every group type and a three-level tree, the
// same for the same shape. For tests and benchmarks.
BankContent syntheticBank(const SyntheticShape& shape);

} // namespace banktool
