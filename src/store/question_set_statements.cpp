#include "store/question_set_statements.h"

#include "store/row_reading.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace store {

namespace {

using detail::allRows;
using detail::integerAt;
using detail::textAt;

// A set of ids is bound as one JSON array, read back by json_each.
QString idArray(const std::vector<qint64>& ids) {
    QJsonArray array;
    for (qint64 id : ids)
        array.append(QString::number(id));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

#define ID_SET "(SELECT CAST(value AS INTEGER) FROM json_each(?))"

} // namespace

std::vector<QuestionPlace> placesOfQuestions(Bank& bank, const std::vector<qint64>& questionIds) {
    return allRows<QuestionPlace>(
        bank.execute(QStringLiteral("SELECT q.id, r.id, r.treeid, t.code FROM question q "
                                    "JOIN readtext r ON q.readtextid = r.id "
                                    "LEFT JOIN qtype t ON r.qtypeid = t.id "
                                    "WHERE q.id IN " ID_SET),
                     {idArray(questionIds)}),
        [](const QSqlQuery& q) {
            return QuestionPlace{integerAt(q, 0), integerAt(q, 1), integerAt(q, 2), textAt(q, 3)};
        });
}

std::vector<QuestionGroup> groupsOfQuestions(Bank& bank, const std::vector<qint64>& questionIds) {
    return allRows<QuestionGroup>(
        bank.execute(
            QStringLiteral("SELECT id, treeid, qtypeid, content, opnum FROM readtext "
                           "WHERE id IN (SELECT readtextid FROM question WHERE id IN " ID_SET
                           ") ORDER BY qtypeid, rowid"),
            {idArray(questionIds)}),
        [](const QSqlQuery& q) {
            return QuestionGroup{integerAt(q, 0), integerAt(q, 1), integerAt(q, 2), textAt(q, 3),
                                 textAt(q, 4)};
        });
}

std::vector<Question> questionsWithIds(Bank& bank, const std::vector<qint64>& questionIds) {
    return allRows<Question>(
        bank.execute(QStringLiteral("SELECT id, readtextid, content, answer, explain, picurl, "
                                    "itemnum, scbt, ct, ct1, lx FROM question WHERE id IN " ID_SET
                                    " ORDER BY rowid"),
                     {idArray(questionIds)}),
        [](const QSqlQuery& q) {
            return Question{integerAt(q, 0), integerAt(q, 1), textAt(q, 2), textAt(q, 3),
                            textAt(q, 4),    textAt(q, 5),    textAt(q, 6), textAt(q, 7),
                            textAt(q, 8),    textAt(q, 9),    textAt(q, 10)};
        });
}

std::vector<Option> optionsOfQuestions(Bank& bank, const std::vector<qint64>& questionIds) {
    return allRows<Option>(
        bank.execute(QStringLiteral("SELECT id, questionid, code, content FROM opinion "
                                    "WHERE questionid IN " ID_SET " ORDER BY rowid"),
                     {idArray(questionIds)}),
        [](const QSqlQuery& q) {
            return Option{integerAt(q, 0), integerAt(q, 1), textAt(q, 2), textAt(q, 3)};
        });
}

std::vector<qint64> questionIdsOfGroups(Bank& bank, const std::vector<qint64>& groupIds) {
    return allRows<qint64>(
        bank.execute(
            QStringLiteral("SELECT id FROM question WHERE readtextid IN " ID_SET " ORDER BY rowid"),
            {idArray(groupIds)}),
        [](const QSqlQuery& q) { return integerAt(q, 0); });
}

} // namespace store
