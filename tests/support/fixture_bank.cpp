#include "fixture_bank.h"

#include "store/bank.h"

#include <QDir>

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

} // namespace testing_support
