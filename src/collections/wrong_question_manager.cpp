#include "collections/wrong_question_manager.h"

#include "app/prompter.h"
#include "collections/collections.h"
#include "store/question_statements.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace collections {

namespace {

QFont songFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(12);
    return font;
}

} // namespace

WrongQuestionManager::WrongQuestionManager(const QString& programFolder, app::Prompter& prompter,
                                           QWidget* parent)
    : QDialog(parent)
    , prompter_(prompter)
    , bank_(store::Bank::pathIn(programFolder))
    , lstDetail_(new QTableWidget(0, 2, this)) {
    setObjectName(QStringLiteral("TForm16"));
    setWindowTitle(QStringLiteral("错题题库"));
    setGeometry(229, 115, 1022, 563);
    setSizeGripEnabled(true);

    lstDetail_->setObjectName(QStringLiteral("lstDetail"));
    lstDetail_->setHorizontalHeaderLabels({QStringLiteral("选题"), QStringLiteral("错题内容")});
    lstDetail_->setColumnWidth(1, 900);
    lstDetail_->horizontalHeader()->setStretchLastSection(true);
    lstDetail_->verticalHeader()->hide();
    lstDetail_->setShowGrid(true);
    lstDetail_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstDetail_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDetail_->setFrameShape(QFrame::NoFrame);
    lstDetail_->setFont(songFont());
    lstDetail_->setStyleSheet(QStringLiteral("QTableWidget { background: rgb(233, 245, 250); }"));

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(38);
    const std::tuple<const char*, const char*, int, void (WrongQuestionManager::*)()> buttons[] = {
        {"btnSelAll", "全选", 17, &WrongQuestionManager::btnSelAllClick},
        {"btnInvert", "反选", 93, &WrongQuestionManager::btnInvertClick},
        {"bsSkinButton1", "删除", 809, &WrongQuestionManager::bsSkinButton1Click},
        {"bsSkinButton2", "确定", 897, nullptr},
    };
    for (const auto& [name, caption, left, action] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(caption), bottom);
        button->setObjectName(QString::fromLatin1(name));
        button->setFont(songFont());
        button->setGeometry(left, 6, 63, 25);
        if (action)
            connect(button, &QPushButton::clicked, this, action);
        else
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(lstDetail_, 1);
    column->addWidget(bottom);
}

void WrongQuestionManager::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    try {
        bank_.reopen();
        loadList();
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
    }
}

void WrongQuestionManager::done(int result) {
    bank_.close();
    QDialog::done(result);
}

void WrongQuestionManager::loadList() {
    lstDetail_->setRowCount(0);
    const std::vector<store::Question> questions = store::wrongQuestionsById(bank_);
    lstDetail_->setRowCount(int(questions.size()));
    for (int row = 0; row < int(questions.size()); ++row) {
        auto* pick = new QTableWidgetItem();
        pick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        pick->setCheckState(Qt::Unchecked);
        lstDetail_->setItem(row, 0, pick);
        lstDetail_->setItem(row, 1, new QTableWidgetItem(questions[size_t(row)].content));
    }
}

void WrongQuestionManager::btnSelAllClick() {
    for (int row = 0; row < lstDetail_->rowCount(); ++row)
        lstDetail_->item(row, 0)->setCheckState(Qt::Checked);
}

void WrongQuestionManager::btnInvertClick() {
    for (int row = 0; row < lstDetail_->rowCount(); ++row) {
        QTableWidgetItem* pick = lstDetail_->item(row, 0);
        pick->setCheckState(pick->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void WrongQuestionManager::bsSkinButton1Click() {
    std::vector<bool> ticked;
    for (int row = 0; row < lstDetail_->rowCount(); ++row)
        ticked.push_back(lstDetail_->item(row, 0)->checkState() == Qt::Checked);
    try {
        removeFromWrongBank(bank_, ticked);
        loadList();
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
    }
}

} // namespace collections
