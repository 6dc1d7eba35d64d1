#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

namespace testing_support {

// Another program's connection to a bank file, with SQL of its own: it holds
// locks, reads the file's layout and changes rows behind the bank's back. A
// failed statement fails the test.
class OtherProgram {
public:
    explicit OtherProgram(const QString& filePath);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Runs `sql` and returns the first column of its rows.
    QVariantList run(const QString& sql);
    void close();

private:
    QString connectionName_;
    QSqlDatabase db_;
};

} // namespace testing_support
