#include "practice/note_editor.h"

#include "practice/question_notes.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace practice {

NoteEditor::NoteEditor(const QString& note, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("NoteEditor"));
    setWindowTitle(QStringLiteral("我的笔记"));
    auto* column = new QVBoxLayout(this);
    auto* hint = new QLabel(
        QStringLiteral("写下这道题的要点（纯文本，最多 %1 字）：").arg(maxNoteLength), this);
    column->addWidget(hint);
    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("noteText"));
    textEdit_->setAccessibleName(QStringLiteral("笔记内容"));
    textEdit_->setTabChangesFocus(true);
    textEdit_->setPlainText(note.left(maxNoteLength));
    textEdit_->moveCursor(QTextCursor::End);
    column->addWidget(textEdit_, 1);
    lengthLabel_ = new QLabel(this);
    lengthLabel_->setObjectName(QStringLiteral("noteLength"));
    lengthLabel_->setAlignment(Qt::AlignRight);
    column->addWidget(lengthLabel_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    connect(textEdit_, &QPlainTextEdit::textChanged, this, &NoteEditor::keepWithinLimit);
    keepWithinLimit();
    resize(460, 300);
}

QString NoteEditor::text() const {
    return textEdit_->toPlainText();
}

// Text pasted or typed beyond the limit is cut off at the limit.
void NoteEditor::keepWithinLimit() {
    const QString text = textEdit_->toPlainText();
    if (text.size() > maxNoteLength) {
        const QSignalBlocker blocker(textEdit_);
        textEdit_->setPlainText(text.left(maxNoteLength));
        textEdit_->moveCursor(QTextCursor::End);
    }
    lengthLabel_->setText(QStringLiteral("%1 / %2")
                              .arg(std::min<qsizetype>(text.size(), maxNoteLength))
                              .arg(maxNoteLength));
}

} // namespace practice
