#pragma once

#include "store/rows.h"

#include <QString>
#include <QVariantList>

// How the rows of a bank's content are inserted: the statement of each table
// and the values of a row in its column order. New banks (the bank builder)
// and imports into a bank write through these.
namespace store::content_rows {

struct Table {
    QString name;
    QString columns; // "id, nodename, …"
    int columnCount;
};

const Table& tableOf(const QuestionType&);
const Table& tableOf(const TreeNode&);
const Table& tableOf(const QuestionGroup&);
const Table& tableOf(const Question&);
const Table& tableOf(const Option&);

QVariantList valuesOf(const QuestionType& type);
QVariantList valuesOf(const TreeNode& node);
QVariantList valuesOf(const QuestionGroup& group);
QVariantList valuesOf(const Question& question);
QVariantList valuesOf(const Option& option);

// "INSERT INTO t (columns) VALUES (?, …), (?, …)" for `rows` rows.
QString insertStatement(const Table& table, int rows = 1);

} // namespace store::content_rows
