#pragma once

#include "import/import_plan.h"
#include "store/bank.h"

#include <functional>
#include <stdexcept>

namespace importer {

// A refusal of an import, worded for the user.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// An import the user stopped before it was committed.
class ImportCancelled : public ImportError {
public:
    ImportCancelled()
        : ImportError(QStringLiteral("导入已取消，题库没有改变。")) {}
};

struct ImportRequest {
    QString fileName;    // as the user knows it, for the import record
    QString fingerprint; // of the file's bytes
    ImportDestination destination;
    // The folder whose `pic/` holds the bank's pictures: the data folder, the
    // folder above the bank's `Data/`. Pictures are written to
    // `pic/imported/…` below it and named so in the bank, relative to it.
    QString pictureRoot;
    bool leaveOutFaulty = false;
    // Called while the questions are written, with the number written so far.
    std::function<void(int questionsWritten)> progress;
    // Asked while the questions are written and once more just before they
    // are committed: true abandons the import (ImportCancelled), the bank as
    // it was.
    std::function<bool()> cancelled;
};

struct ImportResult {
    qint64 firstChapterId = 0;
    qint64 topNode = 0; // the new node, or the section imported into
    int questions = 0;
    int leftOut = 0;
};

// Adds the document's questions to the bank in one transaction: everything or,
// on any failure, nothing (pictures written for it are removed again). Refuses
// a document with problems unless faulty questions are to be left out.
ImportResult importDocument(store::Bank& bank, const ImportedDocument& document,
                            const ImportRequest& request);

// The text a refusal shows for a document's problems, at most `shown` of them.
QString problemsSummary(const ImportedDocument& document, int shown = 20);

} // namespace importer
