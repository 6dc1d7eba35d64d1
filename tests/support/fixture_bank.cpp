#include "fixture_bank.h"

#include "store/bank.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace testing_support {

FixtureBank::FixtureBank(const QString& schema) {
    QDir(folder_.path()).mkpath(QStringLiteral("Data"));
    builder_ = std::make_unique<store::BankBuilder>(bankPath(), schema);
}

QString FixtureBank::bankPath() const {
    return store::Bank::pathIn(programFolder());
}

void FixtureBank::addDefaultHeader() {
    builder_->setSubject({QStringLiteral("测试科目"), QStringLiteral("test")});
    builder_->setQuestionCount(QStringLiteral("0"));
    for (const char* count : {"20", "0", "3", "3"})
        builder_->addExamParameter({QString::fromLatin1(count), QStringLiteral("0")});
}

void FixtureBank::finish() {
    builder_->finish();
    builder_.reset();
}

void alterAsAnotherProgram(const QString& bankPath, const QStringList& statements) {
    const QString name = QStringLiteral("another-program");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(bankPath);
        ASSERT_TRUE(db.open());
        for (const QString& statement : statements)
            ASSERT_TRUE(QSqlQuery(db).exec(statement)) << statement.toStdString();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace testing_support
