#pragma once

#include "store/bank.h"

#include <QDialog>

class QTableWidget;

namespace widgets {
class Prompter;
}

namespace collections {

// Lists the wrong-question bank with a check box per question and takes the
// ticked ones out of it. Modal, with its own connection while it is shown;
// every showing reloads the list.
class WrongQuestionManager : public QDialog {
    Q_OBJECT

public:
    WrongQuestionManager(const QString& dataFolder, widgets::Prompter& prompter, QWidget* parent);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadList();
    void tickAll();
    void invertTicks();
    void deleteTicked();

    widgets::Prompter& prompter_;
    store::Bank bank_;
    QTableWidget* questionList_;
};

} // namespace collections
