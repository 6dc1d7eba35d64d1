#include "collections/wrong_question_manager.h"

#include "collections/collections.h"
#include "store/question_statements.h"
#include "widgets/day_and_night.h"
#include "widgets/prompter.h"

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

WrongQuestionManager::WrongQuestionManager(const QString& dataFolder, widgets::Prompter& prompter,
                                           QWidget* parent)
    : QDialog(parent)
    , prompter_(prompter)
    , bank_(store::Bank::pathIn(dataFolder))
    , questionList_(new QTableWidget(0, 2, this)) {
    setObjectName(QStringLiteral("TForm16"));
    setWindowTitle(QStringLiteral("错题题库"));
    setGeometry(229, 115, 1022, 563);
    setSizeGripEnabled(true);

    questionList_->setObjectName(QStringLiteral("lstDetail"));
    questionList_->setHorizontalHeaderLabels({QStringLiteral("选题"), QStringLiteral("错题内容")});
    questionList_->setColumnWidth(1, 900);
    questionList_->horizontalHeader()->setStretchLastSection(true);
    questionList_->verticalHeader()->hide();
    questionList_->setShowGrid(true);
    questionList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    questionList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    questionList_->setFrameShape(QFrame::NoFrame);
    questionList_->setFont(songFont());
    widgets::followDayAndNight(questionList_, [this](bool night) {
        questionList_->setStyleSheet(
            QStringLiteral("QTableWidget { background: %1; }")
                .arg(night ? QStringLiteral("#1b2024") : QStringLiteral("rgb(233, 245, 250)")));
    });

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(38);
    const std::tuple<const char*, const char*, int, void (WrongQuestionManager::*)()> buttons[] = {
        {"btnSelAll", "全选", 17, &WrongQuestionManager::tickAll},
        {"btnInvert", "反选", 93, &WrongQuestionManager::invertTicks},
        {"bsSkinButton1", "删除", 809, &WrongQuestionManager::deleteTicked},
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
    column->addWidget(questionList_, 1);
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
    questionList_->setRowCount(0);
    const std::vector<store::Question> questions = store::wrongQuestionsById(bank_);
    questionList_->setRowCount(int(questions.size()));
    for (int row = 0; row < int(questions.size()); ++row) {
        auto* pick = new QTableWidgetItem();
        pick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        pick->setCheckState(Qt::Unchecked);
        questionList_->setItem(row, 0, pick);
        questionList_->setItem(row, 1, new QTableWidgetItem(questions[size_t(row)].content));
    }
}

void WrongQuestionManager::tickAll() {
    for (int row = 0; row < questionList_->rowCount(); ++row)
        questionList_->item(row, 0)->setCheckState(Qt::Checked);
}

void WrongQuestionManager::invertTicks() {
    for (int row = 0; row < questionList_->rowCount(); ++row) {
        QTableWidgetItem* pick = questionList_->item(row, 0);
        pick->setCheckState(pick->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void WrongQuestionManager::deleteTicked() {
    std::vector<bool> ticked;
    for (int row = 0; row < questionList_->rowCount(); ++row)
        ticked.push_back(questionList_->item(row, 0)->checkState() == Qt::Checked);
    try {
        removeFromWrongBank(bank_, ticked);
        loadList();
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
    }
}

} // namespace collections
