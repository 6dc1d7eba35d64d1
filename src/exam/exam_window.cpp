#include "exam/exam_window.h"

#include "exam/answer_key_watcher.h"
#include "store/exam_statements.h"
#include "web/html_view.h"
#include "widgets/prompter.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace exam {

namespace {

constexpr int clockMinutes = 90;
constexpr int warningMinutes = 5;

} // namespace

ExamWindow::ExamWindow(ExamContext context, int levelIndex, QWidget* parent)
    : QDialog(parent)
    , context_(std::move(context))
    , levelIndex_(levelIndex)
    , bank_(store::Bank::pathIn(context_.programFolder)) {
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
    left->addWidget(pageView_, 1);
    left->addWidget(createBottomBar());
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
    connect(keyWatcher_, &AnswerKeyWatcher::keyReleased, this,
            [this] { nextButton_->setFocus(Qt::OtherFocusReason); });

    connect(calculatorButton_, &QPushButton::clicked, this, &ExamWindow::startCalculator);
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
        QTimer::singleShot(0, this, &ExamWindow::firstActivation);
    }
    return QDialog::event(event);
}

void ExamWindow::firstActivation() {
    reportingErrors([this] {
        const std::vector<store::PaperItem> items = store::paperItems(bank_);
        if (items.empty())
            return;
        showQuestion(items.front().tid, ExamPageVariant::FirstPage);
        keyWatcher_->install();
    });
}

void ExamWindow::showEvent(QShowEvent* event) {
    if (!clock_->isActive() && remainingMinutesLabel_->text() != QStringLiteral("0"))
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
    keyWatcher_->remove();
    clock_->stop();
    bank_.close();
    QDialog::closeEvent(event);
}

void ExamWindow::tickClock() {
    const int remaining = std::max(0, remainingMinutesLabel_->text().toInt() - 1);
    remainingMinutesLabel_->setText(QString::number(remaining));
    remainingMinutesLabel_->setStyleSheet(
        remaining <= warningMinutes ? QStringLiteral("color: rgb(255, 0, 0);") : QString());
    if (remaining == 0)
        clock_->stop();
}

void ExamWindow::startCalculator() {
    // The program's own calculator beside the executable; none, nothing happens.
    const QString calculator = context_.programFolder + QStringLiteral("calc");
    if (QFileInfo(calculator).isExecutable())
        QProcess::startDetached(calculator, {}, context_.programFolder);
}

void ExamWindow::showQuestion(const QString& tid, ExamPageVariant variant,
                              std::function<void()> done) {
    std::optional<ExamPage> built;
    if (!reportingErrors([&] { built = buildExamPage(bank_, tid, variant); }) || !built)
        return;
    currentTid_ = tid;
    const QString script = restoreChoicesScript(*built);
    pageView_->showPage(context_.programFolder + QStringLiteral("ty.html"), built->fragments,
                        [this, script, done = std::move(done)](bool) {
                            pageView_->runScript(script, [this, done](const QVariant&) {
                                if (done)
                                    done();
                                emit questionShown();
                            });
                        });
}

void ExamWindow::tickLetter(QChar letter) {
    std::optional<QString> option;
    reportingErrors([&] { option = optionForLetter(bank_, currentTid_, letter); });
    if (option)
        pageView_->setChecked(*option, true);
}

} // namespace exam
