#include "import/imported_document.h"

namespace importer {

QString pictureMark(int index) {
    return QStringLiteral("\x01%1\x01").arg(index);
}

int ImportedDocument::questionCount() const {
    int count = 0;
    for (const ImportedGroup& group : groups)
        count += int(group.questions.size());
    return count;
}

int ImportedDocument::faultyCount() const {
    int count = 0;
    for (const ImportedGroup& group : groups)
        for (const ImportedQuestion& question : group.questions)
            count += question.faulty ? 1 : 0;
    return count;
}

QString placeText(PlaceKind kind, int place) {
    switch (kind) {
    case PlaceKind::Paragraph:
        return QStringLiteral("第 %1 段").arg(place);
    case PlaceKind::Line:
    case PlaceKind::Row:
        break;
    }
    return QStringLiteral("第 %1 行").arg(place);
}

QString problemText(PlaceKind kind, const ImportProblem& problem) {
    return placeText(kind, problem.place) + QStringLiteral("：") + problem.message;
}

} // namespace importer
