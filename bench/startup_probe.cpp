// Starts exactly as the calculator does and ends once its window has been
// painted, so that bench/startup.py can time start-up beside bare_window.
#include <QApplication>

#include "first_paint.h"
#include "frm_kq71wb.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    kq71wb::ConfigureApplication();
    kq71wb::frmKQ71wb form(kq71wb::DefaultLoadingsFiles());
    QuitAfterFirstPaint probe(form);
    form.show();
    return QApplication::exec();
}
