// Starts exactly as the calculator does and ends once its window has been
// painted, so that bench/startup.py can time start-up beside bare_window.
#include <QApplication>

#include "first_paint.h"
#include "frm_kq71wb.h"
#include "print_target.h"
#include "start.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    kq71wb::configureApplication();
    kq71wb::SystemPrintTarget printTarget;
    kq71wb::frmKQ71wb form(kq71wb::defaultLoadingsFiles(), printTarget);
    QuitAfterFirstPaint probe(form);
    form.show();
    return QApplication::exec();
}
