#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace practice {

// The small editor of a question's note: plain text up to maxNoteLength
// characters. 确定 keeps the text, 取消 or Esc leaves the note as it was.
class NoteEditor : public QDialog {
    Q_OBJECT

public:
    NoteEditor(const QString& note, QWidget* parent = nullptr);

    QString text() const;

private:
    void keepWithinLimit();

    QPlainTextEdit* textEdit_ = nullptr;
    QLabel* lengthLabel_ = nullptr;
};

} // namespace practice
