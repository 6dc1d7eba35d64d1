#pragma once

#include "store/bank.h"

#include <QMainWindow>

class QLabel;
class QTreeWidget;

namespace app {

class Prompter;

// The main window: title bar, chapter tree and status bar over the bank of the
// program folder.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(const QString& programFolder, Prompter& prompter, QWidget* parent = nullptr);

    QString statusPanelText(int panel) const;

    // Values the rest of the program reads.
    const QString& subjectFolder() const { return subjectFolder_; }
    const QString& updateInfoUrl() const { return updateInfoUrl_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    QWidget* createTitleBar();

    QString programFolder_;
    Prompter& prompter_;
    store::Bank bank_;

    QLabel* Label4_ = nullptr;
    QTreeWidget* TreeView1_ = nullptr;
    QLabel* statusPanels_[3] = {};

    QString subjectFolder_;
    QString updateInfoUrl_;
};

} // namespace app
