#include "practice/random_practice.h"

#include "practice/chapter_content.h"
#include "practice/page_fragments.h"
#include "store/question_pool.h"
#include "store/question_set_statements.h"
#include "store/question_statements.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace practice {

namespace {

// What is drawn as one: a question, or a case or matching group's questions,
// as positions in the pool.
using Piece = std::vector<size_t>;

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

    // The pool as ids only: only the drawn questions are read whole.
    const store::QuestionPool pool =
        store::questionPoolOfChapters(bank, chapterIds, collections::filterOf(mode));
    std::vector<Piece> pieces;
    QHash<qint64, size_t> wholeGroupPiece;
    for (size_t i = 0; i < pool.ids.size(); ++i) {
        const auto code = codes.constFind(pool.typeIds[i]);
        if (code == codes.cend())
            continue;
        const QuestionClass questionClass = classOfCode(*code);
        if (questionClass == QuestionClass::Other)
            continue;
        if (questionClass != QuestionClass::Case && questionClass != QuestionClass::Matching) {
            pieces.push_back({i});
            continue;
        }
        const auto found = wholeGroupPiece.constFind(pool.groupIds[i]);
        if (found != wholeGroupPiece.cend()) {
            pieces[*found].push_back(i);
        } else {
            wholeGroupPiece.insert(pool.groupIds[i], pieces.size());
            pieces.push_back({i});
        }
    }
    shuffle(pieces, random);

    std::vector<qint64> drawnIds;
    for (const Piece& piece : pieces) {
        if (int(drawnIds.size()) >= count)
            break;
        if (int(drawnIds.size() + piece.size()) > count && !drawnIds.empty())
            continue;
        for (size_t position : piece)
            drawnIds.push_back(pool.ids[position]);
    }
    std::vector<store::QuestionPlace> drawn = store::questionPlacesWithIds(bank, drawnIds);
    // Shown as a chapter shows them: groups by type, then chapter by chapter
    // as stored; the questions of a group as stored.
    std::sort(drawn.begin(), drawn.end(), [&](const auto& a, const auto& b) {
        return std::tuple(a.qtypeid, chapterOrder.value(a.treeid), a.groupRow, a.row) <
               std::tuple(b.qtypeid, chapterOrder.value(b.treeid), b.groupRow, b.row);
    });
    std::vector<qint64> groupIds;
    for (const store::QuestionPlace& place : drawn)
        if (groupIds.empty() || groupIds.back() != place.readtextid)
            groupIds.push_back(place.readtextid);
    QHash<qint64, store::Question> questions;
    for (store::Question& question : store::questionsWithIds(bank, drawnIds))
        questions.insert(question.id, std::move(question));
    PracticeSelection selection;
    selection.groups = store::groupsByIds(bank, groupIds);
    for (const store::QuestionPlace& place : drawn) {
        const auto question = questions.constFind(place.id);
        if (question != questions.cend())
            selection.questions.push_back(*question);
    }
    return selection;
}

} // namespace practice
