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

private slots:
    void withoutADisplaySaysSoAndExits()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(variable);
        const Run result = run({}, environment);
        QCOMPARE(result.exitStatus, QProcess::NormalExit);  // no abort, no core dump
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.errors,
                 QString("KQ71WB needs a graphical display, and no display is set; to run it without one: xvfb-run KQ71WB\n"));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
