#pragma once

#include <QLineEdit>

namespace search {

// The main window's search field: Enter asks for a search of its text, Esc
// leaves the field.
class SearchField : public QLineEdit {
    Q_OBJECT

public:
    explicit SearchField(QWidget* parent = nullptr);

    // Ctrl+F: the field takes the focus with its text selected.
    void enter();

signals:
    void searchRequested(const QString& text);
    void left();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace search
