#include "practice/random_practice.h"

#include "practice/chapter_content.h"
#include "practice/page_fragments.h"
#include "store/question_statements.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace practice {

namespace {

// What is drawn as one: a question, or a case or matching group's questions,
// as places in the pool.
using Piece = std::vector<const store::QuestionPlace*>;

// Fisher–Yates, with the injected source.
template <class T> void shuffle(std::vector<T>& items, exam::RandomSource& random) {
    for (size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[random.below(quint32(i))]);
}

} // namespace

PracticeSelection drawRandomPractice(store::Bank& bank, const std::vector<qint64>& chapterIds,
                                     collections::ViewMode mode, int count,
                                     exam::RandomSource& random) {
    QHash<qint64, int> codes;
    for (const store::QuestionType& type : store::allTypes(bank))
        codes.insert(type.id, ChapterContent::codeOf(type));
    QHash<qint64, int> chapterOrder;
    for (qint64 chapterId : chapterIds)
        chapterOrder.insert(chapterId, int(chapterOrder.size()));

    // The pool without its texts: only the drawn questions are read whole.
    const std::vector<store::QuestionPlace> pool =
        store::questionPlacesOfChapters(bank, chapterIds, collections::filterOf(mode));
    std::vector<Piece> pieces;
    QHash<qint64, size_t> wholeGroupPiece;
    for (const store::QuestionPlace& place : pool) {
        if (!codes.contains(place.qtypeid))
            continue;
        const QuestionClass questionClass = classOfCode(codes.value(place.qtypeid));
        if (questionClass == QuestionClass::Other)
            continue;
        if (questionClass != QuestionClass::Case && questionClass != QuestionClass::Matching) {
            pieces.push_back({&place});
            continue;
        }
        const auto found = wholeGroupPiece.constFind(place.readtextid);
        if (found != wholeGroupPiece.cend()) {
            pieces[*found].push_back(&place);
        } else {
            wholeGroupPiece.insert(place.readtextid, pieces.size());
            pieces.push_back({&place});
        }
    }
    shuffle(pieces, random);

    std::vector<const store::QuestionPlace*> drawn;
    for (const Piece& piece : pieces) {
        if (int(drawn.size()) >= count)
            break;
        if (int(drawn.size() + piece.size()) > count && !drawn.empty())
            continue;
        drawn.insert(drawn.end(), piece.begin(), piece.end());
    }
    // Shown as a chapter shows them: groups by type, then chapter by chapter
    // as stored; the questions of a group as stored.
    std::sort(drawn.begin(), drawn.end(), [&](const auto* a, const auto* b) {
        return std::tuple(a->qtypeid, chapterOrder.value(a->treeid), a->groupRow, a->row) <
               std::tuple(b->qtypeid, chapterOrder.value(b->treeid), b->groupRow, b->row);
    });
    PracticeSelection selection;
    for (const store::QuestionPlace* place : drawn) {
        if (selection.groups.empty() || selection.groups.back().id != place->readtextid) {
            const auto group = store::groupById(bank, place->readtextid);
            if (!group)
                continue;
            selection.groups.push_back(*group);
        }
        if (auto question = store::questionById(bank, place->id))
            selection.questions.push_back(std::move(*question));
    }
    return selection;
}

} // namespace practice
