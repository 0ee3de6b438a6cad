#include <QApplication>
#include <QCommandLineParser>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "frm_kq71wb.h"
#include "print_target.h"
#include "start.h"
#include "version.h"

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

// Answers --help and --version, and refuses anything else, before any display
// is needed, so that both work on a machine without one. True when the
// program should go on to open its window.
bool acceptCommandLine(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("KQ71WB");
    QCoreApplication::setApplicationVersion(KQ71WB_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(QString(kq71wb::kDescription) +
                                     ".\n\nReads up to four standard loadings from kq71wb.dat beside the program, or "
                                     "from $XDG_CONFIG_HOME/kq71wb/ (usually ~/.config/kq71wb/); see KQ71WB(1).");
    // Qt's own --help-all would list window-system options this program refuses.
    const QCommandLineOption help({"h", "help"}, "Displays this help.");
    parser.addOption(help);
    parser.addVersionOption();
    parser.process(application);  // prints and exits for --version and unknown options
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(EXIT_SUCCESS);
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "KQ71WB: unexpected argument '%s'; try KQ71WB --help\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return false;
    }
    return true;
}

// Unless the desktop gives a session bus, none is started: libdbus would
// launch one of its own (dbus-launch and a dbus-daemon) the first time Qt
// looks for a screen reader, and leave it running after the program ends. A
// bus given in the variable, or at $XDG_RUNTIME_DIR/bus, is used as it is.
void stayOffAnUngivenSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat status {};
    if (!runtime.isEmpty() && ::stat(runtime + "/bus", &status) == 0 && S_ISSOCK(status.st_mode))
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!acceptCommandLine(argc, argv))
        return EXIT_FAILURE;
    stayOffAnUngivenSessionBus();
    g_qtHandler = qInstallMessageHandler(startupMessageHandler);
    QApplication application(argc, argv);
    qInstallMessageHandler(g_qtHandler);
    // Qt's word that it made a runtime folder of its own, where the session
    // gave none (root over ssh, xvfb-run), asks nothing of the pilot.
    for (const auto& [type, message] : std::as_const(g_startupMessages))
        if (g_qtHandler && !message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"))
            g_qtHandler(type, QMessageLogContext(), message);

    kq71wb::configureApplication();
    kq71wb::SystemPrintTarget printTarget;
    kq71wb::frmKQ71wb form(kq71wb::defaultLoadingsFiles(), printTarget, kq71wb::sampleLoadingsFolder());
    form.show();
    return QApplication::exec();
}
