#pragma once

#include "import/imported_document.h"

#include <QDialog>
#include <atomic>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QTextBrowser;

namespace widgets {
class Prompter;
}

namespace importer {

// "导入题库": choose a Word document, text file or spreadsheet, see what was
// found in it and every problem by line or row, choose where it goes, import.
// Reading and importing run on a thread of their own behind a progress
// dialog, so the windows keep answering; reading can be cancelled, and so can
// importing until its transaction commits.
class ImportDialog : public QDialog {
    Q_OBJECT

public:
    ImportDialog(const QString& dataFolder, widgets::Prompter& prompter, QWidget* parent);

    // For tests: reads `path` as if it had been chosen.
    void readFile(const QString& path);
    QString previewText() const;
    // Whether a file is being read or imported.
    bool busy() const { return bool(working_); }

    // Closing while a file is read cancels the reading; while an import is
    // under way, only its progress dialog's cancel stops it.
    void reject() override;

signals:
    // The questions are in the bank; the chapter to open first.
    void imported(qint64 firstChapterId);
    // The reading or import under way has ended and its outcome is shown.
    void idle();

private:
    struct ReadOutcome;
    struct ImportOutcome;

    void chooseFile();
    void reread();
    void showRead(const ReadOutcome& outcome);
    void fillSections();
    void importChosen();
    void showImported(const ImportOutcome& outcome);
    void saveTemplate();
    void updateButtons();
    // Starts the progress dialog of work that has begun; `steps` 0 for a busy bar.
    void beginWork(const QString& label, int steps);
    void cancelWork();
    void endWork();

    QString dataFolder_;
    widgets::Prompter& prompter_;
    QString path_;
    std::shared_ptr<const ImportedDocument> document_;
    // Set while a file is read or imported: cancelling stores true in it.
    std::shared_ptr<std::atomic<bool>> working_;
    bool importing_ = false;
    QProgressDialog* progress_ = nullptr;

    QLabel* fileLabel_ = nullptr;
    QPushButton* chooseButton_ = nullptr;
    QPushButton* rereadButton_ = nullptr;
    QPushButton* templateButton_ = nullptr;
    QTextBrowser* preview_ = nullptr;
    QCheckBox* leaveOutFaulty_ = nullptr;
    QRadioButton* toNewNode_ = nullptr;
    QLineEdit* nodeName_ = nullptr;
    QRadioButton* toSection_ = nullptr;
    QComboBox* section_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

} // namespace importer
