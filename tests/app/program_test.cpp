// The program as a user starts it, from a shell.
#include <QProcess>
#include <QTest>

class ProgramTest : public QObject {
    Q_OBJECT

private:
    struct Run {
        int exitCode;
        QProcess::ExitStatus exitStatus;
        QString output, errors;
    };

    static Run run(const QStringList& arguments, const QProcessEnvironment& environment)
    {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(KQ71WB_EXECUTABLE, arguments);
        if (!program.waitForFinished(20000))
            program.kill();
        return {program.exitCode(), program.exitStatus(), program.readAllStandardOutput(),
                program.readAllStandardError()};
    }

    // The environment of a machine with no display at all.
    static QProcessEnvironment headless()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(variable);
        return environment;
    }

private slots:
    void withoutADisplaySaysSoAndExits()
    {
        const Run result = run({}, headless());
        QCOMPARE(result.exitStatus, QProcess::NormalExit);  // no abort, no core dump
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.errors,
                 QString("KQ71WB needs a graphical display, and no display is set; to run it without one: xvfb-run KQ71WB\n"));
    }

    // The command line answers without a display, and never opens a window
    // for what it does not know.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errors");
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "KQ71WB 1.00\n" << "";
        QTest::newRow("unknown option") << QStringList{"--print"} << 1 << "" << "KQ71WB: Unknown option 'print'.\n";
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
        const Run result = run(arguments, headless());
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.output, output);
        QCOMPARE(result.errors, errors);
    }

    void helpSaysWhereTheLoadingsFileIs()
    {
        const Run result = run({"--help"}, headless());
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.output.contains("-v, --version") && result.output.contains("~/.config/kq71wb/"));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
