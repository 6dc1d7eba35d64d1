#pragma once

#include "import/imported_document.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextBrowser;

namespace widgets {
class Prompter;
}

namespace importer {

// "导入题库": choose a Word document, text file or spreadsheet, see what was
// found in it and every problem by line or row, choose where it goes, import.
class ImportDialog : public QDialog {
    Q_OBJECT

public:
    ImportDialog(const QString& programFolder, const QString& dataFolder,
                 widgets::Prompter& prompter, QWidget* parent);

    // For tests: reads `path` as if it had been chosen.
    void readFile(const QString& path);
    QString previewText() const;

signals:
    // The questions are in the bank; the chapter to open first.
    void imported(qint64 firstChapterId);

private:
    void chooseFile();
    void reread();
    void showPreview();
    void fillSections();
    void importChosen();
    void saveTemplate();
    void updateButtons();

    QString programFolder_;
    QString dataFolder_;
    widgets::Prompter& prompter_;
    QString path_;
    std::optional<ImportedDocument> document_;

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
