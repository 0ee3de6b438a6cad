// The yardstick for start-up: a bare Qt program that shows an empty main
// window of the calculator's size and ends once it has been painted.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include "first_paint.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow form;
    form.setFixedSize(586, 435 + 48);  // the calculator's client area, menu and status lines
    QuitAfterFirstPaint probe(form);
    form.show();
    return QApplication::exec();
}
