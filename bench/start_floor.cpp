// The floor of start-up: the least a program can do to show a page, a bare
// window with the embedded browser that loads one HTML file, sized and placed
// where the main window's page would be, at the main window's text zoom.
//
// start_floor FILE X Y WIDTH HEIGHT ZOOM

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 7) {
        std::fprintf(stderr, "usage: start_floor FILE X Y WIDTH HEIGHT ZOOM\n");
        return 2;
    }
    QWebEngineView view;
    view.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    view.setGeometry(
        QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt(),
        QString::fromLocal8Bit(argv[4]).toInt(), QString::fromLocal8Bit(argv[5]).toInt());
    view.setZoomFactor(QString::fromLocal8Bit(argv[6]).toDouble());
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    view.show();
    return QApplication::exec();
}
