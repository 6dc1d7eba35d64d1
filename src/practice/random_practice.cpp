#include "practice/random_practice.h"

#include "practice/chapter_content.h"
#include "practice/page_fragments.h"
#include "store/question_statements.h"

#include <QHash>
#include <algorithm>
#include <map>

namespace practice {

namespace {

// What is drawn as one: a question, or a case or matching group's questions.
struct Piece {
    const store::QuestionGroup* group;
    std::vector<const store::Question*> questions;
};

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

    std::vector<store::QuestionGroup> groups;
    std::vector<store::Question> questions;
    for (qint64 chapterId : chapterIds) {
        for (store::QuestionGroup& group : store::groupsOfChapter(bank, chapterId))
            groups.push_back(std::move(group));
        for (store::Question& question :
             store::questionsOfChapter(bank, chapterId, collections::filterOf(mode)))
            questions.push_back(std::move(question));
    }
    QHash<qint64, const store::QuestionGroup*> groupById;
    for (const store::QuestionGroup& group : groups)
        groupById.insert(group.id, &group);

    std::vector<Piece> pieces;
    QHash<qint64, size_t> wholeGroupPiece;
    for (const store::Question& question : questions) {
        const store::QuestionGroup* group = groupById.value(question.readtextid);
        if (!group || !codes.contains(group->qtypeid))
            continue;
        const QuestionClass questionClass = classOfCode(codes.value(group->qtypeid));
        if (questionClass == QuestionClass::Other)
            continue;
        const bool whole =
            questionClass == QuestionClass::Case || questionClass == QuestionClass::Matching;
        if (!whole) {
            pieces.push_back({group, {&question}});
            continue;
        }
        const auto found = wholeGroupPiece.constFind(group->id);
        if (found != wholeGroupPiece.cend()) {
            pieces[*found].questions.push_back(&question);
        } else {
            wholeGroupPiece.insert(group->id, pieces.size());
            pieces.push_back({group, {&question}});
        }
    }
    shuffle(pieces, random);

    std::vector<const Piece*> taken;
    int total = 0;
    for (const Piece& piece : pieces) {
        if (total >= count)
            break;
        const int size = int(piece.questions.size());
        if (total + size > count && total > 0)
            continue;
        taken.push_back(&piece);
        total += size;
    }

    // Shown as a chapter shows them: groups by type, then as stored; the
    // questions of a group as stored.
    std::map<std::pair<qint64, size_t>, std::vector<const store::Question*>> byGroup;
    for (const Piece* piece : taken) {
        auto& list = byGroup[{piece->group->qtypeid, size_t(piece->group - groups.data())}];
        list.insert(list.end(), piece->questions.begin(), piece->questions.end());
    }
    PracticeSelection selection;
    for (auto& [place, list] : byGroup) {
        selection.groups.push_back(groups[place.second]);
        std::sort(list.begin(), list.end());
        for (const store::Question* question : list)
            selection.questions.push_back(*question);
    }
    return selection;
}

} // namespace practice
