#pragma once

#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QSize;
class QWidget;

// Pieces the exam-room windows share.
namespace exam {

// Turns the dialog into a frameless window over the whole screen with a
// stretched background picture; returns the screen's width.
int coverScreen(QDialog& dialog, const QString& programFolder, const QString& background);

// A button that is one of the program's drawn pictures, label included. It
// takes the keyboard focus, so Enter and Space press it; `name` is what its
// picture reads, for screen readers and the tooltip.
QPushButton* pictureButton(const QString& objectName, const QString& name,
                           const QString& programFolder, const QString& picture, QSize size,
                           QWidget* parent);

// A picture of the program folder as a plain label of the given size.
QLabel* pictureLabel(const QString& objectName, const QString& programFolder,
                     const QString& picture, QSize size, QWidget* parent);

} // namespace exam
