#include "import/import_dialog.h"

#include "import/bank_import.h"
#include "import/import_file.h"
#include "import/import_template.h"
#include "store/bank.h"
#include "store/import_record.h"
#include "store/tree_statements.h"
#include "widgets/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QThreadPool>
#include <QVBoxLayout>
#include <map>
#include <optional>

namespace importer {

struct ImportDialog::ReadOutcome {
    std::shared_ptr<const ImportedDocument> document;
    QString error;
};

struct ImportDialog::ImportOutcome {
    std::optional<ImportResult> result;
    QString error;
    bool cancelled = false;
};

namespace {

// Runs `work` on a thread of the pool and hands what it returns to `done` on
// the windows' thread, unless `receiver` is gone by then.
template <class Result, class Work, class Done>
void inBackground(QObject* receiver, Work work, Done done) {
    QThreadPool::globalInstance()->start([receiver = QPointer<QObject>(receiver), work, done] {
        auto result = std::make_shared<const Result>(work());
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [receiver, done, result] {
                if (receiver)
                    done(*result);
            },
            Qt::QueuedConnection);
    });
}

// What a failure no reader foresaw (memory ran out) says.
QString unforeseenFailure(const char* what) {
    return QStringLiteral("处理文件时出错：%1").arg(QString::fromLocal8Bit(what));
}

// Questions listed one by one in the preview; the rest are counted.
constexpr int listedQuestions = 300;

// A bank text as preview text: markup and pictures out, entities kept.
QString shownText(const QString& html) {
    static const QRegularExpression picture(QStringLiteral("<img[^>]*>"));
    static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
    QString text = html;
    text.replace(picture, QStringLiteral("［图片］"));
    text.replace(QStringLiteral("<br>"), QStringLiteral(" "));
    text.replace(markup, QStringLiteral(" "));
    return text;
}

QString typeName(int groupType) {
    switch (groupType) {
    case group_type::single:
        return QStringLiteral("单选题");
    case group_type::singleCase:
        return QStringLiteral("A2型单选题");
    case group_type::multiple:
        return QStringLiteral("多选题");
    case group_type::undetermined:
        return QStringLiteral("不定项选择题");
    case group_type::caseGroup:
        return QStringLiteral("案例题");
    case group_type::matchingGroup:
        return QStringLiteral("配伍题");
    default:
        return QStringLiteral("试题");
    }
}

QString previewHtml(const ImportedDocument& document) {
    QString html;
    const int total = document.questionCount();
    const int faulty = document.faultyCount();
    html += QStringLiteral("<p><b>找到 %1 道试题</b>").arg(total);
    std::map<int, int> byType;
    for (const ImportedGroup& group : document.groups)
        byType[group.groupType] += int(group.questions.size());
    QStringList counts;
    for (const auto& [type, count] : byType)
        counts << QStringLiteral("%1 %2 道").arg(typeName(type)).arg(count);
    if (!counts.isEmpty())
        html += QStringLiteral("（") + counts.join(QStringLiteral("，")) + QStringLiteral("）");
    html += QStringLiteral("</p>");
    if (document.problems.empty()) {
        html += QStringLiteral("<p style=\"color:#2e7d32\">没有发现问题。</p>");
    } else {
        html += QStringLiteral(
                    "<p style=\"color:#c62828\"><b>%1 处问题</b>（涉及 %2 道试题）：</p><ul>")
                    .arg(document.problems.size())
                    .arg(faulty);
        for (const ImportProblem& problem : document.problems)
            html += QStringLiteral("<li style=\"color:#c62828\">%1</li>")
                        .arg(problemText(document.placeKind, problem).toHtmlEscaped());
        html += QStringLiteral("</ul>");
    }
    int listed = 0;
    QString section = QStringLiteral("\x01");
    for (const ImportedGroup& group : document.groups) {
        if (listed >= listedQuestions)
            break;
        if (group.section != section) {
            section = group.section;
            html += QStringLiteral("<h3>%1</h3>")
                        .arg(section.isEmpty() ? QStringLiteral("（无题型标题）")
                                               : section.toHtmlEscaped());
        }
        if (!group.sharedText.isEmpty())
            html += QStringLiteral("<p style=\"color:#455a64\">【%1】%2</p>")
                        .arg(typeName(group.groupType), shownText(group.sharedText));
        for (const ImportedQuestion& q : group.questions) {
            if (listed++ >= listedQuestions)
                break;
            html += QStringLiteral("<p>%1<b>%2</b> %3%4<br>")
                        .arg(q.faulty ? QStringLiteral("<span style=\"color:#c62828\">✗ </span>")
                                      : QString(),
                             QStringLiteral("%1（%2）")
                                 .arg(q.number > 0 ? QString::number(q.number) : QString(),
                                      placeText(document.placeKind, q.place)),
                             shownText(q.stem),
                             q.picture >= 0 ? QStringLiteral(" ［图片］") : QString());
            for (size_t i = 0; i < q.options.size(); ++i)
                html += QStringLiteral("&nbsp;&nbsp;%1．%2<br>")
                            .arg(QChar(char16_t(u'A' + i)))
                            .arg(shownText(q.options[i]));
            html += QStringLiteral("&nbsp;&nbsp;答案：%1").arg(q.answer.toHtmlEscaped());
            if (!q.explanation.isEmpty())
                html += QStringLiteral("　解析：%1").arg(shownText(q.explanation));
            html += QStringLiteral("</p>");
        }
    }
    if (total > listed)
        html += QStringLiteral("<p>……其余 %1 道试题不逐一列出。</p>").arg(total - listed);
    return html;
}

} // namespace

ImportDialog::ImportDialog(const QString& dataFolder, widgets::Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , dataFolder_(dataFolder)
    , prompter_(prompter) {
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("导入题库"));
    resize(760, 600);

    fileLabel_ = new QLabel(
        QStringLiteral("请选择 Word 文档（.docx）、文本文件（.txt）或表格（.xlsx、.csv）。"), this);
    fileLabel_->setObjectName(QStringLiteral("fileLabel"));
    fileLabel_->setWordWrap(true);
    chooseButton_ = new QPushButton(QStringLiteral("选择文件(&O)…"), this);
    chooseButton_->setObjectName(QStringLiteral("chooseButton"));
    rereadButton_ = new QPushButton(QStringLiteral("重新读取(&R)"), this);
    rereadButton_->setObjectName(QStringLiteral("rereadButton"));
    rereadButton_->setToolTip(QStringLiteral("在原文件中改正问题并保存后，重新读取它"));
    templateButton_ = new QPushButton(QStringLiteral("下载表格模板(&T)…"), this);
    templateButton_->setObjectName(QStringLiteral("templateButton"));
    preview_ = new QTextBrowser(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setOpenLinks(false);
    preview_->setAccessibleName(QStringLiteral("导入预览"));
    leaveOutFaulty_ = new QCheckBox(QStringLiteral("略去有问题的试题，只导入其余试题(&S)"), this);
    leaveOutFaulty_->setObjectName(QStringLiteral("leaveOutFaulty"));
    toNewNode_ = new QRadioButton(QStringLiteral("新建节点(&N)："), this);
    toNewNode_->setObjectName(QStringLiteral("toNewNode"));
    toNewNode_->setChecked(true);
    nodeName_ = new QLineEdit(this);
    nodeName_->setObjectName(QStringLiteral("nodeName"));
    nodeName_->setAccessibleName(QStringLiteral("新节点名称"));
    nodeName_->setMaxLength(100);
    toSection_ = new QRadioButton(QStringLiteral("加入已有的节(&E)："), this);
    toSection_->setObjectName(QStringLiteral("toSection"));
    section_ = new QComboBox(this);
    section_->setObjectName(QStringLiteral("section"));
    section_->setAccessibleName(QStringLiteral("已有的节"));
    importButton_ = new QPushButton(QStringLiteral("导入(&I)"), this);
    importButton_->setObjectName(QStringLiteral("importButton"));
    importButton_->setDefault(true);
    closeButton_ = new QPushButton(QStringLiteral("关闭"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel_, 1);
    fileRow->addWidget(chooseButton_);
    fileRow->addWidget(rereadButton_);
    fileRow->addWidget(templateButton_);
    auto* destination = new QGridLayout;
    destination->addWidget(toNewNode_, 0, 0);
    destination->addWidget(nodeName_, 0, 1);
    destination->addWidget(toSection_, 1, 0);
    destination->addWidget(section_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(leaveOutFaulty_);
    buttons->addStretch(1);
    buttons->addWidget(importButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(preview_, 1);
    layout->addLayout(destination);
    layout->addLayout(buttons);

    connect(chooseButton_, &QPushButton::clicked, this, &ImportDialog::chooseFile);
    connect(rereadButton_, &QPushButton::clicked, this, &ImportDialog::reread);
    connect(templateButton_, &QPushButton::clicked, this, &ImportDialog::saveTemplate);
    connect(importButton_, &QPushButton::clicked, this, &ImportDialog::importChosen);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(toSection_, &QRadioButton::toggled, this, &ImportDialog::updateButtons);
    connect(leaveOutFaulty_, &QCheckBox::toggled, this, &ImportDialog::updateButtons);
    fillSections();
    updateButtons();
}

void ImportDialog::chooseFile() {
    const QString path =
        prompter_.openFileName(this, QStringLiteral("选择要导入的题库文件"), importFileFilter());
    if (!path.isEmpty())
        readFile(path);
}

void ImportDialog::readFile(const QString& path) {
    path_ = path;
    nodeName_->setText(QFileInfo(path).completeBaseName());
    fillSections();
    reread();
}

void ImportDialog::reread() {
    if (path_.isEmpty() || working_)
        return;
    fileLabel_->setText(QFileInfo(path_).fileName());
    beginWork(QStringLiteral("正在读取“%1”……").arg(QFileInfo(path_).fileName()), 0);
    inBackground<ReadOutcome>(
        this,
        [path = path_] {
            ReadOutcome outcome;
            try {
                outcome.document = std::make_shared<const ImportedDocument>(readImportFile(path));
            } catch (const ImportError& error) {
                outcome.error = error.message();
            } catch (const std::exception& error) {
                outcome.error = unforeseenFailure(error.what());
            }
            return outcome;
        },
        [this, work = working_](const ReadOutcome& outcome) {
            // A reading cancelled meanwhile is forgotten.
            if (work != working_)
                return;
            endWork();
            showRead(outcome);
            emit idle();
        });
}

void ImportDialog::showRead(const ReadOutcome& outcome) {
    document_ = outcome.document;
    if (document_)
        preview_->setHtml(previewHtml(*document_));
    else
        preview_->setHtml(
            QStringLiteral("<p style=\"color:#c62828\">%1</p>").arg(outcome.error.toHtmlEscaped()));
    updateButtons();
}

void ImportDialog::beginWork(const QString& label, int steps) {
    working_ = std::make_shared<std::atomic<bool>>(false);
    progress_ = new QProgressDialog(label, QStringLiteral("取消"), 0, steps, this);
    progress_->setObjectName(QStringLiteral("importProgress"));
    progress_->setWindowTitle(QStringLiteral("导入题库"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    // Quick work ends before the dialog would show.
    progress_->setMinimumDuration(300);
    connect(progress_, &QProgressDialog::canceled, this, &ImportDialog::cancelWork);
    progress_->setValue(0);
    updateButtons();
}

void ImportDialog::cancelWork() {
    if (!working_)
        return;
    working_->store(true);
    if (importing_) {
        // The import stops at its next step, or has committed already; its
        // outcome says which.
        return;
    }
    endWork();
    document_.reset();
    preview_->setHtml(QStringLiteral("<p>已取消读取。</p>"));
    updateButtons();
    emit idle();
}

void ImportDialog::endWork() {
    if (progress_) {
        // Stops its timer too, which would show it again later.
        progress_->reset();
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    working_.reset();
    importing_ = false;
    updateButtons();
}

void ImportDialog::reject() {
    if (importing_)
        return;
    cancelWork();
    QDialog::reject();
}

QString ImportDialog::previewText() const {
    return preview_->toPlainText();
}

void ImportDialog::fillSections() {
    section_->clear();
    try {
        store::Bank bank(store::Bank::pathIn(dataFolder_));
        for (const store::TreeNode& top : store::topLevelNodes(bank))
            for (const store::TreeNode& section : store::childNodes(bank, top.id))
                section_->addItem(top.nodename + QStringLiteral(" / ") + section.nodename,
                                  section.id);
    } catch (const store::StoreError&) {
        // The import itself names a bank that cannot be read.
    }
}

void ImportDialog::updateButtons() {
    const bool read = document_ && !working_;
    chooseButton_->setEnabled(!working_);
    templateButton_->setEnabled(!working_);
    rereadButton_->setEnabled(!path_.isEmpty() && !working_);
    nodeName_->setEnabled(!toSection_->isChecked());
    section_->setEnabled(toSection_->isChecked());
    toSection_->setEnabled(section_->count() > 0);
    importButton_->setEnabled(read && document_->questionCount() > document_->faultyCount() &&
                              (document_->problems.empty() || leaveOutFaulty_->isChecked()));
}

void ImportDialog::importChosen() {
    if (!document_ || working_)
        return;
    ImportRequest request;
    request.fileName = QFileInfo(path_).fileName();
    request.fingerprint = document_->fingerprint;
    request.destination.topName = nodeName_->text().trimmed();
    if (toSection_->isChecked())
        request.destination.sectionId = section_->currentData().toLongLong();
    else if (request.destination.topName.isEmpty()) {
        prompter_.error(this, QStringLiteral("请填写新节点的名称。"));
        return;
    }
    if (request.destination.topName.isEmpty())
        request.destination.topName = QFileInfo(path_).completeBaseName();
    request.pictureRoot = dataFolder_;
    request.leaveOutFaulty = leaveOutFaulty_->isChecked();
    const QString bankPath = store::Bank::pathIn(dataFolder_);
    try {
        store::Bank bank(bankPath);
        const std::vector<store::ImportRecord> earlier =
            store::importsOf(bank, request.fingerprint);
        if (!earlier.empty() &&
            !prompter_.askYesNo(
                this, QStringLiteral("提示"),
                QStringLiteral("“%1”已于 %2 导入过（%3 道试题）。再次导入会把这些试题"
                               "再添加一份。是否再次导入？")
                    .arg(request.fileName, QString(earlier.back().importedAt)
                                               .replace(QLatin1Char('T'), QLatin1Char(' ')))
                    .arg(earlier.back().questionCount)))
            return;
    } catch (const store::StoreError& error) {
        prompter_.error(this, error.message());
        return;
    }

    beginWork(QStringLiteral("正在导入……"),
              document_->questionCount() - (request.leaveOutFaulty ? document_->faultyCount() : 0));
    importing_ = true;
    const std::shared_ptr<std::atomic<bool>> work = working_;
    request.cancelled = [work] {
        return work->load();
    };
    request.progress = [dialog = QPointer<ImportDialog>(this), work](int written) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [dialog, work, written] {
                if (dialog && dialog->working_ == work && dialog->progress_)
                    dialog->progress_->setValue(written);
            },
            Qt::QueuedConnection);
    };
    inBackground<ImportOutcome>(
        this,
        [bankPath, document = document_, request] {
            ImportOutcome outcome;
            // A connection of this thread's own, closed before it ends.
            try {
                store::Bank bank(bankPath);
                outcome.result = importDocument(bank, *document, request);
            } catch (const ImportCancelled&) {
                outcome.cancelled = true;
            } catch (const ImportError& error) {
                outcome.error = error.message();
            } catch (const store::StoreError& error) {
                outcome.error = error.message();
            } catch (const std::exception& error) {
                outcome.error = unforeseenFailure(error.what());
            }
            return outcome;
        },
        [this](const ImportOutcome& outcome) {
            endWork();
            showImported(outcome);
            emit idle();
        });
}

void ImportDialog::showImported(const ImportOutcome& outcome) {
    if (outcome.cancelled) {
        prompter_.notice(this, QStringLiteral("提示"), ImportCancelled().message());
        return;
    }
    if (!outcome.result) {
        prompter_.error(this, outcome.error);
        return;
    }
    QString done = QStringLiteral("已导入 %1 道试题。").arg(outcome.result->questions);
    if (outcome.result->leftOut > 0)
        done += QStringLiteral("略去了有问题的试题 %1 道。").arg(outcome.result->leftOut);
    prompter_.notice(this, QStringLiteral("提示"), done);
    accept();
    emit imported(outcome.result->firstChapterId);
}

void ImportDialog::saveTemplate() {
    const QString path =
        prompter_.saveFileName(this, QStringLiteral("保存表格模板"),
                               QDir::home().filePath(QStringLiteral("题库导入模板.xlsx")),
                               QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty())
        return;
    const QString failure = writeImportTemplate(path);
    if (failure.isEmpty())
        prompter_.notice(
            this, QStringLiteral("提示"),
            QStringLiteral("模板已保存到“%1”。每行一道试题，按列名填写后即可导入。").arg(path));
    else
        prompter_.error(this, failure);
}

} // namespace importer
