#pragma once

// The calculator's one window: its start-up sequence and the handlers of its
// controls' events. The sheet itself is a Session: each handler hands it the
// event, and the window shows the view that comes back. The form keeps only
// what a window has: widgets, focus, colours, where pages go, the clipboard,
// and where the loadings file is looked for.

#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "load_sheet.h"
#include "session.h"
#include "window_builder.h"

class QAction;
class QPaintDevice;

namespace kq71wb {

class PrintTarget;
class SheetImage;

// A load sheet as it stood at one moment: its words, and the image of the
// window then, to be drawn on a page now or later, whatever the window shows
// by then.
struct LoadSheetPage {
    LoadSheetText text;
    std::shared_ptr<const SheetImage> image;
};

namespace window {
class LinesArea;
class MessageLine;
}

class frmKQ71wb : public QMainWindow {
    Q_OBJECT

public:
    // The loadings file is the first readable one of `loadingsFiles`; pages
    // are printed or saved through `printTarget`, which must outlive the form.
    // Where no loadings file is found, the window says where to put one, and
    // that a sample is in `sampleFolder` when it is given.
    frmKQ71wb(std::vector<std::filesystem::path> loadingsFiles, PrintTarget& printTarget,
              std::filesystem::path sampleFolder = {}, QWidget* parent = nullptr);

    const window::WindowControls& controls() const { return m_controls; }
    const Session& session() const { return m_session; }

    // Draws the client area as it shows now, at its size on a 96-dot-per-inch
    // screen, from the top-left of the device. False when the device cannot
    // be painted on.
    bool paintClientArea(QPaintDevice& device) const;

    // The load sheet's words, made now, copied as text; with the image of
    // the window now, printed on the device's page. Nothing when the page was
    // painted, else why not: "the page could not be drawn" (a device that
    // cannot be painted on), or that no installed font draws its letters.
    LoadSheetText loadSheet() const;
    LoadSheetPage loadSheetPage() const;
    static std::optional<QString> paintLoadSheet(QPaintDevice& device, const LoadSheetPage& page);
    static QString loadSheetCopy(const LoadSheetText& text);

    void Form_Load();
    void txtWeight_Change(int Index);
    void txtArm_Change(int Index);
    void txtMisc_Change(int Index);
    void txtWeight_GotFocus(int Index);
    void txtArm_GotFocus(int Index);
    void txtMisc_GotFocus(int Index);
    void cmdLoading_Click(int Index);
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuReport_Click();

protected:
    bool event(QEvent* event) override;

private:
    void layOutLinesBeneath();
    void wireEvents();
    void edit(FieldKind field, int row, const QString& text);
    void showView(const View& view);
    void showLoadings(const View& view);
    void setNote(const QString& note);
    void placeOnScreen(bool centred);
    void lookAgainAtLoadings();

    std::vector<std::filesystem::path> m_loadingsFiles;
    std::filesystem::path m_loadingsRead;  // the file the loadings came from, looked at again at a print or copy
    PrintTarget& m_printTarget;
    Session m_session;
    Caret m_caretTold;  // where the session last learnt the caret is
    window::WindowControls m_controls;
    window::LinesArea* m_linesArea = nullptr;
    window::MessageLine* m_verdictLine = nullptr;
    window::MessageLine* m_warningLine = nullptr;
    window::MessageLine* m_readoutLine = nullptr;
    window::MessageLine* m_noteLine = nullptr;
    QAction* m_copyLoadSheet = nullptr;
    QAction* m_speakResult = nullptr;
    bool m_frameCentred = false;  // centred again once the desktop gave the window its frame
    bool m_showingView = false;   // texts set from a view are no edits of the user's
    Sheet m_textsShown;  // the fields' texts as last shown or typed
    std::array<LoadingButtonView, kLoadingCount> m_loadingsShown;
    int m_markedShown = -2;  // none shown yet
};

// Where a window's frame stands when it is centred in the screen's available
// area: its client area of `client` size, inside a frame of `frame` margins.
QPoint centredFramePosition(const QRect& available, const QMargins& frame, const QSize& client);

}  // namespace kq71wb
