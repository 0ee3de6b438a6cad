#include <QApplication>

#include "frm_kq71wb.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    kq71wb::ConfigureApplication();
    kq71wb::frmKQ71wb form(kq71wb::DefaultLoadingsFiles());
    form.show();
    return QApplication::exec();
}
