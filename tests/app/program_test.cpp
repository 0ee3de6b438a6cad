// The program as a user starts it from a shell, on a machine with no display:
// the command line answers without one, and never opens a window for what it
// does not know.
#include <QDir>
#include <QFile>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "version.h"

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errors");
        QTest::newRow("no display") << QStringList() << 1 << ""
            << "KQ71WB needs a graphical display, and no display is set; to run it without one: xvfb-run KQ71WB\n";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "KQ71WB " KQ71WB_VERSION "\n" << "";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "~/.config/kq71wb/" << "";
        QTest::newRow("Qt's own help") << QStringList{"--help-all"} << 1 << "" << "KQ71WB: Unknown option 'help-all'.\n";
        QTest::newRow("an argument") << QStringList{"kq71wb.dat"} << 1 << ""
                                     << "KQ71WB: unexpected argument 'kq71wb.dat'; try KQ71WB --help\n";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            headless.remove(variable);
        QProcess program;
        program.setProcessEnvironment(headless);
        program.start(KQ71WB_EXECUTABLE, arguments);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);  // no abort, no core dump
        QCOMPARE(program.exitCode(), exitCode);
        const QString shown = program.readAllStandardOutput();
        QVERIFY2(output.endsWith('\n') ? shown == output : shown.contains(output), qPrintable(shown));
        QCOMPARE(QString(program.readAllStandardError()), errors);
    }

    // Started without a session bus, on a real X server (the offscreen
    // platform never looks for one), the program starts none: libdbus's own
    // launcher would note the bus it leaves running in ~/.dbus; and without
    // a runtime folder, it starts in silence. Needs Xvfb and xdotool, which
    // ./test installs.
    void startsNoSessionBus()
    {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        const QString xdotool = QStandardPaths::findExecutable("xdotool");
        if (xvfb.isEmpty() || xdotool.isEmpty())
            QSKIP("needs Xvfb and xdotool");
        QTemporaryDir home;
        QProcess server;
        server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        while (!server.canReadLine())
            QVERIFY2(server.waitForReadyRead(20000), "Xvfb gave no display");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY"})
            environment.remove(variable);
        environment.insert("DISPLAY", ':' + server.readLine().trimmed());
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("HOME", home.path());
        environment.remove("XDG_RUNTIME_DIR");  // Qt warns of it as the program starts, which must not stop it
        QProcess program, shown;
        program.setProcessEnvironment(environment);
        program.start(KQ71WB_EXECUTABLE);
        shown.setProcessEnvironment(environment);
        shown.start(xdotool, {"search", "--sync", "--onlyvisible", "--pid", QString::number(program.processId())});
        const bool started = shown.waitForFinished(30000) && shown.exitCode() == 0;
        for (QProcess* process : {&program, &server}) {
            process->terminate();
            process->waitForFinished();
        }
        // Nor does it say anything on the way that asks nothing of the user.
        QCOMPARE(QString(program.readAllStandardError()), QString());
        // A bus that was started anyway is stopped, by the id it noted.
        QDirIterator noted(home.filePath(".dbus"), QDir::Files, QDirIterator::Subdirectories);
        const bool launched = noted.hasNext();
        while (noted.hasNext()) {
            QFile note(noted.next());
            note.open(QIODevice::ReadOnly);
            for (const QByteArray& line : note.readAll().split('\n'))
                if (line.startsWith("DBUS_SESSION_BUS_PID="))
                    ::kill(line.mid(21).toInt(), SIGTERM);
        }
        QVERIFY2(started, "the window did not show");
        QVERIFY2(!launched, "a session bus was started");
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
