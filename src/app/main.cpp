#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "frm_kq71wb.h"
#include "print_target.h"

namespace {

QtMessageHandler g_qtHandler = nullptr;
QList<QPair<QtMsgType, QString>> g_startupMessages;

// While the application starts, Qt's words are held back: if it finds no
// display it gives up with a fatal message and an abort (a core dump), and
// the user learns only that reinstalling might help. Say what is wrong and
// how to run without a display instead, and exit plainly.
void startupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        g_startupMessages.append({type, message});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY") + qgetenv("WAYLAND_DISPLAY");
    const QByteArray why = display.isEmpty() ? QByteArray("no display is set") : "the display could not be opened";
    std::fprintf(stderr, "KQ71WB needs a graphical display, and %s; to run it without one: xvfb-run KQ71WB\n",
                 why.constData());
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

int main(int argc, char* argv[])
{
    g_qtHandler = qInstallMessageHandler(startupMessageHandler);
    QApplication application(argc, argv);
    qInstallMessageHandler(g_qtHandler);
    for (const auto& [type, message] : std::as_const(g_startupMessages))
        if (g_qtHandler)
            g_qtHandler(type, QMessageLogContext(), message);

    kq71wb::configureApplication();
    kq71wb::SystemPrintTarget printTarget;
    kq71wb::frmKQ71wb form(kq71wb::defaultLoadingsFiles(), printTarget);
    form.show();
    return QApplication::exec();
}
