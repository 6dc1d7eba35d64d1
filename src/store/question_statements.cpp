#include "store/question_statements.h"

#include "store/row_reading.h"

namespace store {

namespace {

using detail::allRows;
using detail::firstRow;
using detail::idArray;
using detail::integerAt;
using detail::textAt;

#define GROUP_COLUMNS "SELECT id, treeid, qtypeid, content, opnum FROM readtext "
#define QUESTION_COLUMNS                                                                           \
    "SELECT id, readtextid, content, answer, explain, picurl, itemnum, scbt, ct, ct1, lx "         \
    "FROM question "

QuestionGroup readGroup(const QSqlQuery& q) {
    return {integerAt(q, 0), integerAt(q, 1), integerAt(q, 2), textAt(q, 3), textAt(q, 4)};
}

Question readQuestion(const QSqlQuery& q) {
    return {integerAt(q, 0), integerAt(q, 1), textAt(q, 2), textAt(q, 3),
            textAt(q, 4),    textAt(q, 5),    textAt(q, 6), textAt(q, 7),
            textAt(q, 8),    textAt(q, 9),    textAt(q, 10)};
}

QuestionType readType(const QSqlQuery& q) {
    return {integerAt(q, 0), textAt(q, 1), textAt(q, 2)};
}

Option readOption(const QSqlQuery& q) {
    return {integerAt(q, 0), integerAt(q, 1), textAt(q, 2), textAt(q, 3)};
}

} // namespace

std::vector<QuestionGroup> groupsOfChapter(Bank& bank, qint64 treeId) {
    return allRows<QuestionGroup>(
        bank.execute(QStringLiteral(GROUP_COLUMNS "WHERE treeid = ? ORDER BY qtypeid, rowid"),
                     {treeId}),
        readGroup);
}

std::optional<QuestionGroup> groupById(Bank& bank, qint64 id) {
    return firstRow<QuestionGroup>(bank.execute(QStringLiteral(GROUP_COLUMNS "WHERE id = ?"), {id}),
                                   readGroup);
}

std::vector<QuestionGroup> groupsOfExamType(Bank& bank, ExamType type) {
    QString range;
    switch (type) {
    case ExamType::SingleChoice:
        range = QStringLiteral("qtypeid BETWEEN 3 AND 5");
        break;
    case ExamType::MultipleChoice:
        range = QStringLiteral("qtypeid BETWEEN 6 AND 9");
        break;
    case ExamType::CaseAnalysis:
        range = QStringLiteral("qtypeid = 10");
        break;
    case ExamType::Matching:
        range = QStringLiteral("qtypeid = 11");
        break;
    }
    return allRows<QuestionGroup>(bank.execute(QStringLiteral(GROUP_COLUMNS "WHERE ") + range +
                                               QStringLiteral(" ORDER BY qtypeid, rowid")),
                                  readGroup);
}

std::optional<QuestionType> typeById(Bank& bank, qint64 id) {
    return firstRow<QuestionType>(
        bank.execute(QStringLiteral("SELECT id, code, title FROM qtype WHERE id = ?"), {id}),
        [](const QSqlQuery& q) {
            return QuestionType{integerAt(q, 0), textAt(q, 1), textAt(q, 2)};
        });
}

std::vector<QuestionType> allTypes(Bank& bank) {
    return allRows<QuestionType>(
        bank.execute(QStringLiteral("SELECT id, code, title FROM qtype ORDER BY rowid")), readType);
}

std::optional<Question> questionById(Bank& bank, qint64 id) {
    return firstRow<Question>(bank.execute(QStringLiteral(QUESTION_COLUMNS "WHERE id = ?"), {id}),
                              readQuestion);
}

std::vector<Question> questionsOfGroup(Bank& bank, qint64 groupId) {
    return allRows<Question>(
        bank.execute(QStringLiteral(QUESTION_COLUMNS "WHERE readtextid = ? ORDER BY rowid"),
                     {groupId}),
        readQuestion);
}

std::vector<Question> flaggedQuestionsOfGroup(Bank& bank, qint64 groupId, CollectionFlag flag) {
    const QString sql =
        flag == CollectionFlag::Favourite
            ? QStringLiteral(QUESTION_COLUMNS "WHERE readtextid = ? AND scbt = '1' ORDER BY rowid")
            : QStringLiteral(QUESTION_COLUMNS "WHERE readtextid = ? AND ct = '1' ORDER BY rowid");
    return allRows<Question>(bank.execute(sql, {groupId}), readQuestion);
}

std::vector<Question> flaggedQuestions(Bank& bank, CollectionFlag flag) {
    const QString sql = flag == CollectionFlag::Favourite
                            ? QStringLiteral(QUESTION_COLUMNS "WHERE scbt = '1' ORDER BY rowid")
                            : QStringLiteral(QUESTION_COLUMNS "WHERE ct = '1' ORDER BY rowid");
    return allRows<Question>(bank.execute(sql), readQuestion);
}

std::vector<Question> wrongQuestionsById(Bank& bank) {
    return allRows<Question>(
        bank.execute(QStringLiteral(QUESTION_COLUMNS "WHERE ct = '1' ORDER BY id")), readQuestion);
}

std::vector<qint64> questionIdsTagged(Bank& bank, ExamType type) {
    return allRows<qint64>(
        bank.execute(QStringLiteral("SELECT id FROM question WHERE lx = ? ORDER BY rowid"),
                     {examTypeCode(type)}),
        [](const QSqlQuery& q) { return integerAt(q, 0); });
}

void setQuestionFlag(Bank& bank, qint64 id, QuestionFlag flag, bool set) {
    QString sql;
    switch (flag) {
    case QuestionFlag::Favourite:
        sql = QStringLiteral("UPDATE question SET scbt = ? WHERE id = ?");
        break;
    case QuestionFlag::Wrong:
        sql = QStringLiteral("UPDATE question SET ct = ? WHERE id = ?");
        break;
    case QuestionFlag::WrongInLastGrading:
        sql = QStringLiteral("UPDATE question SET ct1 = ? WHERE id = ?");
        break;
    }
    bank.execute(sql, {set ? flagSet : flagClear, id});
}

void setQuestionLx(Bank& bank, qint64 id, const QString& lx) {
    bank.execute(QStringLiteral("UPDATE question SET lx = ? WHERE id = ?"), {lx, id});
}

void clearLastGradingFlags(Bank& bank) {
    // Rows already clear are left alone: a large bank holds few marked ones.
    bank.execute(QStringLiteral("UPDATE question SET ct1 = '' WHERE ct1 IS NOT ''"));
}

void markGradedWrong(Bank& bank, const std::vector<qint64>& ids) {
    if (ids.empty())
        return;
    // One statement for the whole list, which travels as a JSON array of numbers.
    QByteArray list = "[";
    for (qint64 id : ids) {
        list += QByteArray::number(id);
        list += ',';
    }
    list.back() = ']';
    bank.execute(QStringLiteral("UPDATE question SET ct = '1', ct1 = '1' "
                                "WHERE id IN (SELECT value FROM json_each(?))"),
                 {QString::fromLatin1(list)});
}

bool hasFlaggedQuestions(Bank& bank, CollectionFlag flag) {
    return bank
        .execute(flag == CollectionFlag::Favourite
                     ? QStringLiteral("SELECT 1 FROM question WHERE scbt = '1' LIMIT 1")
                     : QStringLiteral("SELECT 1 FROM question WHERE ct = '1' LIMIT 1"))
        .next();
}

void dropLastGradingFromWrongBank(Bank& bank) {
    bank.execute(QStringLiteral("UPDATE question SET ct = '' WHERE ct1 = '1'"));
}

std::vector<Option> optionsOfQuestion(Bank& bank, qint64 questionId) {
    return allRows<Option>(
        bank.execute(QStringLiteral("SELECT id, questionid, code, content FROM opinion "
                                    "WHERE questionid = ? ORDER BY rowid"),
                     {questionId}),
        readOption);
}

#define CHAPTER_QUESTION_COLUMNS                                                                   \
    "SELECT q.id, q.readtextid, q.content, q.answer, q.explain, q.picurl, q.itemnum, q.scbt, "     \
    "q.ct, q.ct1, q.lx FROM question q JOIN readtext r ON q.readtextid = r.id WHERE r.treeid = ? "

std::vector<Question> questionsOfChapter(Bank& bank, qint64 treeId,
                                         std::optional<CollectionFlag> flag) {
    const QString sql = QStringLiteral(CHAPTER_QUESTION_COLUMNS) + detail::flagCondition(flag) +
                        QStringLiteral(" ORDER BY q.rowid");
    return allRows<Question>(bank.execute(sql, {treeId}), readQuestion);
}

#define CHAPTER_ANSWER_COLUMNS                                                                     \
    "SELECT q.id, q.readtextid, q.answer FROM question q JOIN readtext r ON q.readtextid = r.id "  \
    "WHERE r.treeid = ? "

std::vector<Question> answersOfChapter(Bank& bank, qint64 treeId,
                                       std::optional<CollectionFlag> flag) {
    const QString sql = QStringLiteral(CHAPTER_ANSWER_COLUMNS) + detail::flagCondition(flag) +
                        QStringLiteral(" ORDER BY q.rowid");
    return allRows<Question>(bank.execute(sql, {treeId}), [](const QSqlQuery& q) {
        Question question;
        question.id = integerAt(q, 0);
        question.readtextid = integerAt(q, 1);
        question.answer = textAt(q, 2);
        return question;
    });
}

std::vector<Option> optionIdsOfChapter(Bank& bank, qint64 treeId) {
    return allRows<Option>(bank.execute(QStringLiteral("SELECT o.id, o.questionid FROM opinion o "
                                                       "JOIN question q ON o.questionid = q.id "
                                                       "JOIN readtext r ON q.readtextid = r.id "
                                                       "WHERE r.treeid = ? ORDER BY o.rowid"),
                                        {treeId}),
                           [](const QSqlQuery& q) {
                               return Option{integerAt(q, 0), integerAt(q, 1), {}, {}};
                           });
}

std::vector<Option> optionsOfChapter(Bank& bank, qint64 treeId) {
    return allRows<Option>(
        bank.execute(QStringLiteral("SELECT o.id, o.questionid, o.code, o.content FROM opinion o "
                                    "JOIN question q ON o.questionid = q.id "
                                    "JOIN readtext r ON q.readtextid = r.id "
                                    "WHERE r.treeid = ? ORDER BY o.rowid"),
                     {treeId}),
        readOption);
}

// Groups in the order of the given ids.
std::vector<QuestionGroup> groupsByIds(Bank& bank, const std::vector<qint64>& groupIds) {
    return allRows<QuestionGroup>(
        bank.execute(QStringLiteral("SELECT r.id, r.treeid, r.qtypeid, r.content, r.opnum "
                                    "FROM json_each(?) j JOIN readtext r ON r.id = j.value "
                                    "ORDER BY j.key"),
                     {idArray(groupIds)}),
        readGroup);
}

#define GROUPS_QUESTION_COLUMNS                                                                    \
    "SELECT q.id, q.readtextid, q.content, q.answer, q.explain, q.picurl, q.itemnum, q.scbt, "     \
    "q.ct, q.ct1, q.lx FROM question q WHERE q.readtextid IN (SELECT value FROM json_each(?)) "

std::vector<Question> questionsOfGroups(Bank& bank, const std::vector<qint64>& groupIds,
                                        std::optional<CollectionFlag> flag) {
    const QString sql = QStringLiteral(GROUPS_QUESTION_COLUMNS) + detail::flagCondition(flag) +
                        QStringLiteral(" ORDER BY q.rowid");
    return allRows<Question>(bank.execute(sql, {idArray(groupIds)}), readQuestion);
}

std::vector<Option> optionsOfGroups(Bank& bank, const std::vector<qint64>& groupIds) {
    return allRows<Option>(
        bank.execute(QStringLiteral("SELECT o.id, o.questionid, o.code, o.content FROM opinion o "
                                    "JOIN question q ON o.questionid = q.id "
                                    "WHERE q.readtextid IN (SELECT value FROM json_each(?)) "
                                    "ORDER BY o.rowid"),
                     {idArray(groupIds)}),
        readOption);
}

} // namespace store
