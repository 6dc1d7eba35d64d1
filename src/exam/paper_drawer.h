#pragma once

#include "store/bank.h"
#include "store/rows.h"

#include <QtGlobal>
#include <array>
#include <vector>

// Drawing a new paper into `sj`: four sections in the order single choice,
// multiple choice, case groups, matching groups, each picked from its pool by
// a randomised forward walk, so a section keeps its pool's stored order.
namespace exam {

// The source of the walk's offsets; tests fix it.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number in 0 … bound − 1, each equally likely; bound is at least 1.
    virtual quint32 below(quint32 bound) = 0;
};

// Seeded by the system.
class SystemRandom : public RandomSource {
public:
    quint32 below(quint32 bound) override;
};

// The rows a walk takes from a pool of `poolSize` rows for `count` places, as
// pool positions in increasing order. With J = poolSize / count, each pass
// moves on a random offset in 0 … J − 1; only the paper's first section
// (`firstOfPaper`) can take its pool's first row. A pool of at least `count`
// rows gives `count` different rows; a smaller pool gives each of its rows once.
std::vector<int> strideWalk(int poolSize, int count, bool firstOfPaper, RandomSource& random);

// The counts of the four sections from `ts` (drawing counts, rows 1–4).
std::array<int, 4> sectionCounts(store::Bank& bank);

// Re-tags the group questions, replaces the paper and returns its rows in
// order, all in one transaction: a failure leaves the previous paper whole.
// Throws StoreError.
std::vector<store::PaperItem> drawPaper(store::Bank& bank, RandomSource& random);

} // namespace exam
