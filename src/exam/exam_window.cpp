#include "exam/exam_window.h"

#include "exam/answer_key_watcher.h"
#include "exam/answer_sheet.h"
#include "exam/drawing_wait_dialog.h"
#include "exam/hand_in_question.h"
#include "exam/paper_drawer.h"
#include "web/html_view.h"
#include "widgets/day_and_night.h"
#include "widgets/desktop.h"
#include "widgets/prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace exam {

namespace {

constexpr int clockMinutes = 90;
constexpr int warningMinutes = 5;

// A cell is filled with its colour as the legend shows it: a style sheet that
// sets only the background leaves the style its own shaded button, which
// washes the colour out.
QString cellStyle(CellColour colour) {
    const bool night = widgets::isNight();
    QString style = QStringLiteral("background: %1;").arg(cellFill(colour, night));
    if (colour != CellColour::ButtonFace && (colour != CellColour::LeftBlank || night))
        style += QStringLiteral(" color: white;");
    return style + QStringLiteral(" border: 1px solid palette(dark); border-radius: 2px;");
}

// What a screen reader says of a cell: its question and its state, as the
// legend names the colour.
QString cellDescription(const QString& tid, CellColour colour) {
    const char* state = "未答";
    switch (colour) {
    case CellColour::Current:
        state = "在答";
        break;
    case CellColour::Answered:
        state = "已答";
        break;
    case CellColour::Right:
        state = "答对";
        break;
    case CellColour::Wrong:
        state = "答错";
        break;
    case CellColour::LeftBlank:
    case CellColour::ButtonFace:
        break;
    }
    return QStringLiteral("第 %1 题，%2").arg(tid, QString::fromUtf8(state));
}

QString remainingTimeName(const QString& minutes) {
    return QStringLiteral("剩余时间 %1 分钟").arg(minutes);
}

} // namespace

// White numbers stay readable on every filled cell (at least 4.5 : 1); the
// pure red of the day is too light for that at night.
QString cellFill(CellColour colour, bool night) {
    switch (colour) {
    case CellColour::Current:
    case CellColour::Wrong:
        return night ? QStringLiteral("#c00000") : QStringLiteral("rgb(255, 0, 0)");
    case CellColour::Answered:
    case CellColour::Right:
        return night ? QStringLiteral("#1f5fbf") : QStringLiteral("rgb(0, 0, 255)");
    case CellColour::LeftBlank:
        return night ? QStringLiteral("#5a5f63") : QStringLiteral("rgb(180, 180, 180)");
    case CellColour::ButtonFace:
        break;
    }
    return QStringLiteral("palette(button)");
}

ExamWindow::ExamWindow(ExamContext context, int levelIndex, QWidget* parent)
    : QDialog(parent)
    , context_(std::move(context))
    , levelIndex_(levelIndex)
    , bank_(store::Bank::pathIn(context_.dataFolder)) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("人机对话"));
    // A border with only the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    resize(1027, 717);
    // Maximised, and covering the screen where no window manager maximises it.
    setGeometry(screen()->availableGeometry());
    setWindowState(Qt::WindowMaximized);

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->addWidget(createInformationBar());
    pageView_ = new web::HtmlView(this);
    pageView_->setObjectName(QStringLiteral("WebBrowser1"));
    pageView_->setAccessibleName(QStringLiteral("试题"));
    left->addWidget(pageView_, 1);
    left->addWidget(createBottomBar());
    remainingMinutesLabel_->setAccessibleName(remainingTimeName(remainingMinutesLabel_->text()));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addLayout(left, 1);
    row->addWidget(createAnswerSheetColumn());

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("Timer1"));
    clock_->setInterval(60 * 1000);
    connect(clock_, &QTimer::timeout, this, &ExamWindow::tickClock);

    keyWatcher_ = new AnswerKeyWatcher(this);
    connect(keyWatcher_, &AnswerKeyWatcher::letterReleased, this, &ExamWindow::tickLetter);
    connect(pageView_, &web::HtmlView::renderProcessEnded, this, &ExamWindow::recoverLostPage);

    connect(calculatorButton_, &QPushButton::clicked, this, &ExamWindow::startCalculator);
    connect(previousButton_, &QPushButton::clicked, this, &ExamWindow::previousQuestion);
    connect(nextButton_, &QPushButton::clicked, this, &ExamWindow::nextQuestion);
    connect(handInButton_, &QPushButton::clicked, this, &ExamWindow::handIn);
    connect(helpButton_, &QPushButton::clicked, this,
            [this] { context_.prompter.message(this, QStringLiteral("该功能完善中！！")); });
}

ExamWindow::~ExamWindow() = default;

bool ExamWindow::reportingErrors(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const store::StoreError& error) {
        context_.prompter.error(this, error.message());
        return false;
    }
}

bool ExamWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && drawState_ != 2) {
        drawState_ = 2;
        // Out of the activation itself: the first activation may show dialogs.
        QTimer::singleShot(0, this, &ExamWindow::drawPaper);
    }
    return QDialog::event(event);
}

void ExamWindow::setRandomSource(std::unique_ptr<RandomSource> random) {
    random_ = std::move(random);
}

void ExamWindow::drawPaper() {
    context_.prompter.notice(this, QStringLiteral("试卷描述"),
                             levelIndex_ == 1
                                 ? QStringLiteral("第一部分单选题，第二部分是阅读案例分析题，"
                                                  "第三部分是配伍选择题")
                                 : QStringLiteral("第一部分是阅读案例分析题"));
    const bool againstExam = !context_.examPathOpen || context_.examPathOpen();
    DrawingWaitDialog wait(againstExam ? this : context_.mainWindow, this);
    wait.show();
    wait.repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!random_)
        random_ = std::make_unique<SystemRandom>();
    std::vector<store::PaperItem> items;
    std::optional<QString> failure;
    try {
        items = exam::drawPaper(bank_, *random_);
    } catch (const store::StoreError& error) {
        failure = error.message();
    }
    wait.hide();
    if (failure) {
        endWithoutPaper(QStringLiteral("抽题失败，考试无法开始：\n") + *failure);
        return;
    }
    if (items.empty()) {
        endWithoutPaper(QStringLiteral("没有抽到试题：考试设置中各题型的题数都为 0，"
                                       "或题库中没有这些题型的试题。请先在考试设置中设置题数。"));
        return;
    }
    session_ = std::make_unique<ExamSession>(bank_, items);
    buildAnswerSheet(items);
    progressBar_->setRange(0, int(items.size()));
    progressBar_->setValue(0);
    totalCountLabel_->setText(QStringLiteral("/") + QString::number(items.size()));
    paintCell(items.front().tid, CellColour::Current);
    showQuestion(items.front().tid, ExamPageVariant::FirstPage);
    const QString notice = session_->startNotice();
    if (!notice.isEmpty())
        context_.prompter.notice(this, QStringLiteral("提示"), notice);
    keyWatcher_->install();
}

void ExamWindow::endWithoutPaper(const QString& reason) {
    clock_->stop();
    clockOver_ = true;
    QString paragraph = reason.toHtmlEscaped();
    paragraph.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    pageView_->showPage(context_.programFolder + QStringLiteral("ty.html"),
                        {QStringLiteral("<p>") + paragraph + QStringLiteral("</p>")});
    if (context_.prompter.confirm(this, QStringLiteral("提示"),
                                  reason + QStringLiteral("\n\n确定关闭考试窗口吗？")))
        close();
}

void ExamWindow::buildAnswerSheet(const std::vector<store::PaperItem>& items) {
    const SheetLayout layout = layOutAnswerSheet(items);
    int bottom = 60;
    for (const SheetHeading& heading : layout.headings) {
        auto* label = new QLabel(heading.text, answerSheetCells_);
        label->setTextFormat(Qt::PlainText);
        QFont font = label->font();
        font.setPointSize(10);
        font.setBold(true);
        label->setFont(font);
        label->setGeometry(heading.place);
        label->show();
        bottom = std::max(bottom, heading.place.bottom());
    }
    for (const SheetCell& cell : layout.cells) {
        auto* button = new QPushButton(cell.tid, answerSheetCells_);
        button->setObjectName(cell.name);
        button->setGeometry(cell.place);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(cellStyle(CellColour::ButtonFace));
        button->setAccessibleName(cellDescription(cell.tid, CellColour::ButtonFace));
        connect(button, &QPushButton::clicked, this, [this, tid = cell.tid] { jumpTo(tid); });
        button->show();
        bottom = std::max(bottom, cell.place.bottom());
    }
    answerSheetCells_->setFixedHeight(bottom + 20);
}

void ExamWindow::paintCell(const QString& tid, CellColour colour) {
    if (auto* cell = answerSheetCells_->findChild<QPushButton*>(cellName(tid))) {
        cell->setStyleSheet(cellStyle(colour));
        cell->setAccessibleName(cellDescription(tid, colour));
    }
}

void ExamWindow::previousQuestion() {
    act(Move::Previous);
}

void ExamWindow::nextQuestion() {
    act(Move::Next);
}

void ExamWindow::jumpTo(const QString& tid) {
    act(Move::Jump, tid);
}

void ExamWindow::act(Move move, const QString& jumpTid) {
    if (!session_)
        return;
    withControls([this, move, jumpTid](const web::ControlSnapshot& controls) {
        SessionStep step;
        if (reportingErrors([&] { step = session_->prepareMove(move, controls, jumpTid); }))
            apply(step);
    });
}

void ExamWindow::withControls(std::function<void(const web::ControlSnapshot&)> work) {
    if (pageLost_) {
        work({});
        return;
    }
    pageView_->readControls(
        [this, lost = lostPages_, work = std::move(work)](const web::ControlSnapshot& controls) {
            if (lost == lostPages_)
                work(controls);
        });
}

void ExamWindow::handIn() {
    if (!session_)
        return;
    if (session_->handedIn()) {
        showMessages({QStringLiteral("您已经交卷，不能重复交卷！")});
        return;
    }
    handInWaiting_ = true;
    withControls([this](const web::ControlSnapshot& controls) { finishHandIn(controls); });
}

void ExamWindow::finishHandIn(const web::ControlSnapshot& controls) {
    // One hand-in per wait: the reply to a second click, or the one that
    // comes after a lost page went on without it, finds none waiting.
    if (!std::exchange(handInWaiting_, false) || session_->handedIn())
        return;
    // The answer the last move held back is counted as stored.
    saveHeldAnswer();
    int unanswered = 0;
    if (!reportingErrors([&] { unanswered = unansweredItems(bank_, currentTid_, controls); }) ||
        !confirmed(handInQuestion(unanswered)))
        return;
    keyWatcher_->remove();
    clock_->stop();
    clockOver_ = true;
    SessionStep step;
    if (!reportingErrors([&] { step = session_->handIn(controls); }))
        return;
    if (!session_->handedIn()) {
        // An answer could not be written: the exam goes on for it to be given again.
        apply(step);
        keyWatcher_->install();
        clockOver_ = false;
        if (remainingMinutesLabel_->text() != QStringLiteral("0"))
            clock_->start();
        return;
    }
    answeredLegendLabel_->setText(QStringLiteral("答对"));
    currentLegendLabel_->setText(QStringLiteral("答错"));
    apply(step);
}

void ExamWindow::withoutKeyWatcher(const std::function<void()>& work) {
    const bool watching = keyWatcher_->isInstalled();
    keyWatcher_->remove();
    work();
    if (watching)
        keyWatcher_->install();
}

void ExamWindow::showMessages(const QStringList& messages, bool asErrors) {
    withoutKeyWatcher([&] {
        for (const QString& message : messages)
            asErrors ? context_.prompter.error(this, message)
                     : context_.prompter.message(this, message);
    });
}

bool ExamWindow::confirmed(const QString& question) {
    bool ok = false;
    withoutKeyWatcher(
        [&] { ok = context_.prompter.confirm(this, QStringLiteral("提示"), question); });
    return ok;
}

void ExamWindow::recoverLostPage() {
    ++lostPages_;
    pageLost_ = true;
    if (!session_)
        return;
    // The step whose page was lost still marks the sheet and writes its answer.
    markSheet();
    saveHeldAnswer();
    const bool handingIn = handInWaiting_;
    if (handingIn) {
        showMessages({QStringLiteral("题目页面意外关闭，交卷按已保存的答案进行。")});
        finishHandIn({});
        if (session_->handedIn())
            return;
    } else if (pageReloaded_) {
        showMessages({QStringLiteral("题目页面再次意外关闭，本题无法显示。请换一题或交卷。")});
        return;
    }
    if (resultOnScreen_)
        showResult();
    else
        showQuestion(currentTid_, currentVariant_);
    pageReloaded_ = true;
    if (!handingIn)
        showMessages({QStringLiteral("题目页面意外关闭，已重新载入本题。")});
}

void ExamWindow::apply(const SessionStep& step) {
    // A step whose page was replaced before it completed still marks the sheet.
    markSheet();
    showMessages(step.errors, true);
    showMessages(step.messages);
    pendingSheetMarks_ = [this, paints = step.paints, progress = step.progress,
                          answered = step.answeredCount] {
        for (const CellPaint& paint : paints)
            paintCell(paint.tid, paint.colour);
        if (progress) {
            progressBar_->setValue(std::min(*progress, progressBar_->maximum()));
            answeredCountLabel_->setText(QString::number(*answered));
        }
    };
    if (step.pageTid) {
        // The sheet and the progress change with the next page, once it is
        // complete: a repaint of the window while the page is being started
        // holds its load back. An answer the session still holds belongs to
        // another item than this page's and is written then too.
        showQuestion(*step.pageTid, step.variant, [this] {
            markSheet();
            saveHeldAnswer();
        });
    } else {
        markSheet();
        saveHeldAnswer();
    }
    if (!step.resultTable.isEmpty()) {
        resultTable_ = step.resultTable;
        showResult();
    }
}

void ExamWindow::showResult() {
    resultOnScreen_ = true;
    pageReloaded_ = false;
    pageView_->showPage(context_.programFolder + QStringLiteral("ty.html"), {resultTable_},
                        [this, lost = lostPages_](bool) {
                            if (lost != lostPages_)
                                return;
                            pageLost_ = false;
                            emit questionShown();
                        });
}

void ExamWindow::markSheet() {
    if (const auto marks = std::exchange(pendingSheetMarks_, nullptr))
        marks();
}

void ExamWindow::saveHeldAnswer() {
    if (session_->heldTid().isEmpty())
        return;
    // A failure is told, and the cell and the counter show what is stored.
    apply(session_->saveHeldAnswer());
}

void ExamWindow::showEvent(QShowEvent* event) {
    if (!clock_->isActive() && !clockOver_ && remainingMinutesLabel_->text() != QStringLiteral("0"))
        clock_->start();
    QDialog::showEvent(event);
}

void ExamWindow::changeEvent(QEvent* event) {
    // The window stays maximised: whatever the window manager does to its
    // state (a double click or a drag on the title bar), it is maximised again.
    if (event->type() == QEvent::WindowStateChange && isVisible() &&
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        QTimer::singleShot(0, this, [this] { setWindowState(Qt::WindowMaximized); });
    QDialog::changeEvent(event);
}

void ExamWindow::closeEvent(QCloseEvent* event) {
    if (session_ && !session_->handedIn() &&
        !confirmed(QStringLiteral("考试尚未交卷，确定退出考场吗？"))) {
        event->ignore();
        return;
    }
    keyWatcher_->remove();
    clock_->stop();
    if (session_)
        saveHeldAnswer();
    bank_.close();
    QDialog::closeEvent(event);
}

void ExamWindow::keyPressEvent(QKeyEvent* event) {
    // Escape leaves the way the close box does, through its question; a
    // dialog's own Escape would hide the window without one.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ExamWindow::tickClock() {
    const int remaining = std::max(0, remainingMinutesLabel_->text().toInt() - 1);
    remainingMinutesLabel_->setText(QString::number(remaining));
    remainingMinutesLabel_->setAccessibleName(remainingTimeName(QString::number(remaining)));
    remainingMinutesLabel_->setStyleSheet(remaining <= warningMinutes
                                              ? QStringLiteral("color: %1;")
                                                    .arg(widgets::isNight()
                                                             ? QStringLiteral("#ff7b7b")
                                                             : QStringLiteral("rgb(255, 0, 0)"))
                                              : QString());
    if (remaining == 0)
        clock_->stop();
}

void ExamWindow::startCalculator() {
    // The program's own calculator beside the executable; none, nothing happens.
    const QString calculator = context_.programFolder + QStringLiteral("calc");
    if (QFileInfo(calculator).isExecutable())
        context_.desktop.startProgram(calculator);
}

void ExamWindow::showQuestion(const QString& tid, ExamPageVariant variant,
                              std::function<void()> done) {
    std::optional<ExamPage> built;
    if (!reportingErrors([&] { built = buildExamPage(bank_, tid, variant); }) || !built)
        return;
    currentTid_ = tid;
    currentVariant_ = variant;
    resultOnScreen_ = false;
    pageReloaded_ = false;
    // A reply awaited from the page being replaced will not come.
    handInWaiting_ = false;
    pageView_->showPage(
        context_.programFolder + QStringLiteral("ty.html"), built->fragments,
        [this, lost = lostPages_, done = std::move(done)](bool) {
            if (lost != lostPages_)
                return;
            pageLost_ = false;
            emit questionShown();
            if (done)
                done();
        },
        restoreChoicesScript(*built));
}

void ExamWindow::tickLetter(QChar letter) {
    std::optional<QString> option;
    reportingErrors([&] { option = optionForLetter(bank_, currentTid_, letter); });
    if (option)
        pageView_->setChecked(*option, true);
    // Whatever the item, so that Enter or Space then moves on.
    nextButton_->setFocus(Qt::OtherFocusReason);
}

} // namespace exam
