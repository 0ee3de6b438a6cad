#include <QApplication>

#include "frm_kq71wb.h"
#include "print_target.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    kq71wb::configureApplication();
    kq71wb::SystemPrintTarget printTarget;
    kq71wb::frmKQ71wb form(kq71wb::defaultLoadingsFiles(), printTarget);
    form.show();
    return QApplication::exec();
}
