#pragma once

#include "qt_printers.h"
#include "store/bank_builder.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace testing_support {

// A temporary program folder whose Data/med.db is written by a BankBuilder.
// Add the rows a case needs, then finish() and open a store::Bank on bankPath().
class FixtureBank {
public:
    explicit FixtureBank(const QString& schema = {});

    store::BankBuilder& rows() { return *builder_; }
    // A plain subject, count and exam parameters, for cases that do not care.
    void addDefaultHeader();
    void finish();

    QString programFolder() const { return folder_.path() + QStringLiteral("/"); }
    QString bankPath() const;

private:
    QTemporaryDir folder_;
    std::unique_ptr<store::BankBuilder> builder_;
};

// A temporary program folder with no bank in it.
class EmptyProgramFolder {
public:
    QString programFolder() const { return folder_.path() + QStringLiteral("/"); }

private:
    QTemporaryDir folder_;
};

// Runs `statements` on the bank file through a connection of its own, as
// another program would (to damage or age tables of ours).
void alterAsAnotherProgram(const QString& bankPath, const QStringList& statements);

} // namespace testing_support
