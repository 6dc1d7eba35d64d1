#include "practice/answer_match.h"

#include <algorithm>

namespace practice {

namespace {

QString letterSet(const QString& answer) {
    QString letters = comparableAnswer(answer);
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    return letters;
}

} // namespace

QString comparableAnswer(const QString& answer) {
    qsizetype begin = 0, end = answer.size();
    while (begin < end && answer[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && answer[end - 1].unicode() <= ' ')
        --end;
    return answer.mid(begin, end - begin);
}

bool isRightAnswer(const QString& given, const QString& stored, AnswerKind kind) {
    if (kind == AnswerKind::LetterSet)
        return letterSet(given) == letterSet(stored);
    return comparableAnswer(given) == comparableAnswer(stored);
}

} // namespace practice
