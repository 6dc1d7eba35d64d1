#pragma once

#include "store/bank.h"

#include <QDialog>

class QTableWidget;

namespace app {
class Prompter;
}

namespace collections {

// Lists the wrong-question bank with a check box per question and takes the
// ticked ones out of it. Modal, with its own connection while it is shown;
// every showing reloads the list.
class WrongQuestionManager : public QDialog {
    Q_OBJECT

public:
    WrongQuestionManager(const QString& programFolder, app::Prompter& prompter, QWidget* parent);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadList();
    void btnSelAllClick();
    void btnInvertClick();
    void bsSkinButton1Click();

    app::Prompter& prompter_;
    store::Bank bank_;
    QTableWidget* lstDetail_;
};

} // namespace collections
