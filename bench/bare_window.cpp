// The yardstick for start-up: a bare Qt program that shows a main window of
// the calculator's size with one line of text, so that it loads fonts as any
// window with words does, and ends once it has been painted.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

#include "first_paint.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow form;
    form.setFixedSize(586, 435 + 48);  // the calculator's client area, menu and status lines
    form.statusBar()->addWidget(new QLabel("Pilot weight for this loading: 130 to 229 lb (59 to 103 kg). Room to 900 lb: 120 lb (54.4 kg)."));
    QuitAfterFirstPaint probe(form);
    form.show();
    return QApplication::exec();
}
