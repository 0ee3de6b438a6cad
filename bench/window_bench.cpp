// Building the window from its tables, beside showing a bare window of the
// same size, and one keystroke through the recalculation to every caption,
// colour and the slider. Run with
//   QT_QPA_PLATFORM=offscreen build-bench/bench/window_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

#include "frm_kq71wb.h"
#include "print_target.h"
#include "start.h"
#include "widgets.h"
#include "window_builder.h"

namespace {

void BuildWindowFromTables(benchmark::State& state)
{
    for (auto _ : state) {
        QMainWindow form;
        benchmark::DoNotOptimize(kq71wb::window::buildWindow(form));
    }
}
BENCHMARK(BuildWindowFromTables)->Unit(benchmark::kMicrosecond);

void ShowBareWindow(benchmark::State& state)
{
    for (auto _ : state) {
        QMainWindow form;
        form.setFixedSize(586, 435);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            state.SkipWithError("the window was never exposed");
        QApplication::processEvents();
    }
}
BENCHMARK(ShowBareWindow)->Unit(benchmark::kMicrosecond);

void Keystroke(benchmark::State& state)
{
    kq71wb::SystemPrintTarget printTarget;  // never printed on here
    kq71wb::frmKQ71wb form({}, printTarget);
    const auto& c = form.controls();
    const char* rows[8][2] = {{"612.5", "14.37"}, {"170", "-20"}, {"185", "29.5"}, {"12.4", "60"},
                              {"8", "-35.25"},    {"25", "42"},   {"3.5", "110"},  {"1.25", "-48.5"}};
    for (std::size_t i = 0; i < 8; ++i) {
        c.txtWeight[i]->setText(rows[i][0]);
        c.txtArm[i]->setText(rows[i][1]);
    }
    // Alternating weights move the totals, the CG and the slider, and swap a colour.
    const QString weights[2] = {"170", "395"};
    int n = 0;
    for (auto _ : state)
        c.txtWeight[1]->setText(weights[n++ % 2]);
}
BENCHMARK(Keystroke)->Unit(benchmark::kMicrosecond);

// A keystroke in a field filled to the most it keeps, as after a paste cut there.
void KeystrokeInAFullField(benchmark::State& state)
{
    kq71wb::SystemPrintTarget printTarget;  // never printed on here
    kq71wb::frmKQ71wb form({}, printTarget);
    const auto& c = form.controls();
    c.txtWeight[0]->setText("612.5");
    c.txtArm[0]->setText("14.37");
    c.txtMisc[0]->setText(QString(kq71wb::window::SheetField::kMaxFieldCharacters, 'x'));
    const QString full[2] = {"1" + QString(kq71wb::window::SheetField::kMaxFieldCharacters - 1, ' '),
                             "2" + QString(kq71wb::window::SheetField::kMaxFieldCharacters - 1, ' ')};
    int n = 0;
    for (auto _ : state)
        c.txtWeight[2]->setText(full[n++ % 2]);
}
BENCHMARK(KeystrokeInAFullField)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    kq71wb::configureApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
