#pragma once

#include "store/rows.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace store {

// Writes a new bank file: creates the tables from the schema, then takes rows in
// the order they are to be stored. Everything is one transaction; nothing is
// kept unless finish() is reached: an unfinished file is removed. Used by the bank tool and by test
// fixtures.
class BankBuilder {
public:
    // Refuses a path that already exists. `schema` replaces the bank's schema
    // text, for fixtures that need a damaged bank.
    explicit BankBuilder(const QString& filePath, const QString& schema = {});
    ~BankBuilder();
    BankBuilder(const BankBuilder&) = delete;
    BankBuilder& operator=(const BankBuilder&) = delete;

    void addType(const QuestionType& type);
    void addNode(const TreeNode& node);
    void addGroup(const QuestionGroup& group);
    void addQuestion(const Question& question);
    void addOption(const Option& option);
    void setSubject(const Subject& subject);
    void setQuestionCount(const QString& count);
    void addExamParameter(const ExamParameter& parameter);

    // Commits and closes the file.
    void finish();

private:
    void createTables(const QString& sql);
    void release();
    // Runs sql with values on query, preparing it only when it holds another statement.
    void run(QSqlQuery& query, const QString& sql, const QVariantList& values);
    template <class Row> void add(QSqlQuery& query, const Row& row);

    QString filePath_;
    QString connectionName_;
    QSqlDatabase db_;
    QSqlQuery insertType_, insertNode_, insertGroup_, insertQuestion_, insertOption_;
    bool finished_ = false;
};

} // namespace store
