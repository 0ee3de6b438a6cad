#pragma once

// Builds the window from its layout and menu tables, and gives the form the
// controls it works with by name.

#include <QColor>
#include <QString>

#include <array>
#include <string_view>

#include "layout.h"

class QAction;
class QLabel;
class QMainWindow;
class QPalette;
class QPushButton;
class QSlider;
class QWidget;

namespace kq71wb::window {

class LoadingButton;
class ResultLabel;
class ScaleSlider;
class SheetField;

struct WindowControls {
    QWidget* client = nullptr;  // the fixed client area that holds the layout
    std::array<SheetField*, Sheet::kRowCount> txtWeight{};
    std::array<SheetField*, Sheet::kRowCount> txtArm{};
    std::array<ResultLabel*, Sheet::kRowCount> lblMoment{};
    std::array<SheetField*, 6> txtMisc{};
    std::array<LoadingButton*, kLoadingCount> cmdLoading{};
    ResultLabel* lblGrossWeight = nullptr;
    ResultLabel* lblGrossMoment = nullptr;
    ResultLabel* lblFlyCG = nullptr;
    ScaleSlider* Slider1 = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuReport = nullptr;
};

// Makes every control of the layout inside a new client area, which becomes
// the form's central widget, and the menu bar; sets the title and icon.
WindowControls buildWindow(QMainWindow& form);

// Puts what `from` shows into the controls of another window built from the
// same tables: every text, caption, colour and the scale's position.
void copyShownState(const WindowControls& from, const WindowControls& to);

// The object name of a control: its name, with its array index in brackets.
QString controlName(std::string_view name, int index = -1);

// Which colour stands for a verdict.
OleColor colorOf(WeightVerdict verdict);
OleColor colorOf(CgVerdict verdict);

// An OLE colour as Qt shows it; system colours come from the palette.
QColor colorFromOle(OleColor color, const QPalette& palette);

// The light palette the client area keeps in any desktop theme.
QPalette lightPalette();

// Paints a control's background in an OLE colour; nothing is repainted when
// it shows that colour already.
void setBackColor(QWidget& control, OleColor color);

// A figure in its colour, or, when the last pass did not write it, greyed
// (grey text on the button face), so that an earlier pass's figure cannot
// pass for a current one, in colour or in black and white.
void showFigure(ResultLabel& figure, OleColor color, bool current);

inline constexpr std::string_view kWindowTitle = "KQ 71 Weight and Balance Calculator";

}  // namespace kq71wb::window
