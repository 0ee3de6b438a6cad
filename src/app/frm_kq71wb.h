#pragma once

// The calculator's one window: its start-up sequence and the handlers of its
// controls' events. The fields' texts are the model; every recalculation reads
// them into the loading sheet and shows what the sheet computed and says.

#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

#include "load_sheet.h"
#include "loadings.h"
#include "sheet.h"
#include "window_builder.h"
#include "words.h"

class QAction;
class QPaintDevice;
class QPainter;

namespace kq71wb {

class PrintTarget;

namespace window {
class MessageLine;
}

class frmKQ71wb : public QMainWindow {
    Q_OBJECT

public:
    // The loadings file is the first readable one of `loadingsFiles`; pages
    // are printed or saved through `printTarget`, which must outlive the form.
    frmKQ71wb(std::vector<std::filesystem::path> loadingsFiles, PrintTarget& printTarget, QWidget* parent = nullptr);

    const window::WindowControls& controls() const { return m_controls; }
    const Sheet& sheet() const { return m_sheet; }
    // What the lines beneath the layout show now.
    const LinesBeneath& linesShown() const { return m_shown; }

    // Draws the client area as it shows now, at its size on a 96-dot-per-inch
    // screen, from the top-left of the device. False when the device cannot
    // be painted on.
    bool paintClientArea(QPaintDevice& device) const;

    // The printed load sheet: its heading and words around the image of the
    // window, on the device's page; false when the device cannot be painted
    // on. The same lines, as text, go to the clipboard.
    bool paintLoadSheet(QPaintDevice& device, const LoadSheetHeading& heading) const;
    QString loadSheetCopy(const LoadSheetHeading& heading) const;
    LoadSheetHeading sheetHeading() const;

    void Form_Load();
    void Calc();
    void txtWeight_Change(int Index);
    void txtArm_Change(int Index);
    void txtWeight_GotFocus(int Index);
    void txtArm_GotFocus(int Index);
    void txtMisc_GotFocus(int Index);
    void cmdLoading_Click(int Index);
    void mnuPrint_Click();
    void mnuExit_Click();

protected:
    bool event(QEvent* event) override;

private:
    void wireEvents();
    void showSheet();
    void showLines();
    void setNote(const QString& note);
    void centreOnScreen();
    void markLoading(int index);
    bool rowHoldsLoading(int index) const;
    void renderSheet(QPainter& painter) const;

    std::vector<std::filesystem::path> m_loadingsFiles;
    PrintTarget& m_printTarget;
    window::WindowControls m_controls;
    window::MessageLine* m_verdictLine = nullptr;
    window::MessageLine* m_warningLine = nullptr;
    window::MessageLine* m_readoutLine = nullptr;
    window::MessageLine* m_noteLine = nullptr;
    int m_markedLoading = -1;
    QAction* m_copyLoadSheet = nullptr;
    QAction* m_speakResult = nullptr;
    bool m_frameCentred = false;  // centred again once the desktop gave the window its frame
    Sheet m_sheet;
    std::optional<CalcFault> m_fault;  // of the last pass, until one completes
    std::string m_note;                // what the last print or copy did, until the next pass
    int m_pagesOnTheirWay = 0;         // printed or saved beside the window, not yet done
    LinesBeneath m_shown;

    // The empty weight (1) and arm (2) of loadings 0 to 3 (A to D), as read.
    QString strA1, strA2, strB1, strB2, strC1, strC2, strD1, strD2;
    using StoredText = QString frmKQ71wb::*;
    static constexpr StoredText kStoredWeight[kLoadingCount] = {&frmKQ71wb::strA1, &frmKQ71wb::strB1,
                                                                &frmKQ71wb::strC1, &frmKQ71wb::strD1};
    static constexpr StoredText kStoredArm[kLoadingCount] = {&frmKQ71wb::strA2, &frmKQ71wb::strB2,
                                                             &frmKQ71wb::strC2, &frmKQ71wb::strD2};
};

// Where a window's frame stands when it is centred in the screen's available
// area: its client area of `client` size, inside a frame of `frame` margins.
QPoint centredFramePosition(const QRect& available, const QMargins& frame, const QSize& client);

// Application name, version, description and style, for main and the tests.
void configureApplication();

// Where the program looks for its loadings file.
std::vector<std::filesystem::path> defaultLoadingsFiles();

inline constexpr char kDescription[] = "KQ 71 Sailplane Weight and Balance Calculator";

}  // namespace kq71wb
