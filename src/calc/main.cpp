// calc: the small calculator the exam window starts from the program folder.

#include "calc/calculator_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("sans-serif")});
    QApplication::setFont(font);
    CalculatorWindow window;
    window.show();
    return QApplication::exec();
}
