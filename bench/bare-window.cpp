// The baseline for the start-up figures: a Qt window of the calculator's size with nothing in it.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(514, 282);
    window.show();
    return QApplication::exec();
}
