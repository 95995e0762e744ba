// The floor for start-up: a Qt Widgets program that only shows a window.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("表")));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
