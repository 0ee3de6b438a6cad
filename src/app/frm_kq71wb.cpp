#include "frm_kq71wb.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QSysInfo>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

#include "conversions.h"
#include "load_sheet_page.h"
#include "loadings.h"
#include "print_target.h"
#include "start.h"
#include "widgets.h"

namespace kq71wb {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A moment of this computer's clock, with its time zone's offset then, as
// the sheet writes it.
LocalTime localTime(const QDateTime& moment) { return {moment.toSecsSinceEpoch(), moment.offsetFromUtc()}; }

// Where a user puts a loadings file: the folder of the last place looked in,
// the user's configuration folder, shown from the home folder; and where the
// sample was installed, as found beside the program.
QString shownFromHome(const std::filesystem::path& path) { return kq71wb::shownFromHome(QFile::decodeName(path.c_str())); }

std::string whereToPutLoadings(const std::vector<std::filesystem::path>& candidates,
                               const std::filesystem::path& sampleFolder)
{
    QString where = "put kq71wb.dat in " +
                    (candidates.empty() ? QString("the program's folder") : shownFromHome(candidates.back().parent_path()) + '/');
    if (!sampleFolder.empty())
        where += " (a sample is in " + shownFromHome(sampleFolder) + "/)";
    return where.toStdString();
}

// A text the view gives a field, set only where it differs, so that the
// caret of the field being typed in stays where it is. A field without the
// focus shows the start of its text. `shown` is the text last seen there,
// so that a keystroke converts only the text that changed.
void putText(window::SheetField& field, const std::string& text, std::string& shown)
{
    if (text == shown)
        return;
    shown = text;
    const QString wanted = fromUtf8(text);
    if (field.text() == wanted)
        return;
    field.setText(wanted);
    if (!field.hasFocus())
        field.setCursorPosition(0);
}

// A column of widgets in `widget`, one beneath the other with no gap.
QVBoxLayout* columnIn(QWidget* widget, const QMargins& margins = {})
{
    auto* column = new QVBoxLayout(widget);
    column->setContentsMargins(margins);
    column->setSpacing(0);
    return column;
}

}  // namespace

frmKQ71wb::frmKQ71wb(std::vector<std::filesystem::path> loadingsFiles, PrintTarget& printTarget,
                     std::filesystem::path sampleFolder, QWidget* parent)
    : QMainWindow(parent),
      m_loadingsFiles(std::move(loadingsFiles)),
      m_printTarget(printTarget),
      m_session(whereToPutLoadings(m_loadingsFiles, sampleFolder))
{
    m_controls = window::buildWindow(*this);
    layOutLinesBeneath();

    // Ctrl+Shift+C: the load sheet's lines as text, for a logbook or an e-mail.
    // F8: the whole result spoken, every warning with it, for a pilot who
    // cannot see where to look.
    m_copyLoadSheet = new QAction(this);
    m_copyLoadSheet->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_speakResult = new QAction(this);
    m_speakResult->setShortcut(QKeySequence(Qt::Key_F8));
    addActions({m_copyLoadSheet, m_speakResult});

    wireEvents();
    Form_Load();
    m_controls.txtWeight[0]->setFocus();
}

// Beneath the sheet, the lines it says: the verdict, then the warnings, the
// read-outs and what became of a print. They wrap, and the window grows
// downwards to hold them. Where the screen has no room for it all, the
// sheet gives up room first, down to its rows and results, then the lines
// after the verdict, down to one line, and each scrolls: the verdict always
// shows beneath the results it speaks of. In a status bar, as a screen reader
// expects the notifications of a window to be, and in the desktop's colours.
void frmKQ71wb::layOutLinesBeneath()
{
    const auto placed = [this](const QWidget* control) {
        return QRect(control->mapTo(m_controls.client, QPoint()), control->size());
    };
    auto* column = new QWidget(this);
    QVBoxLayout* stack = columnIn(column);
    auto* sheet = new window::SheetArea(takeCentralWidget(), placed(m_controls.txtWeight[0]) | placed(m_controls.lblFlyCG), column);
    sheet->setObjectName("sheetArea");
    stack->addWidget(sheet, 1);  // a stretch makes it the first to give up room
    auto* status = new QStatusBar(column);
    status->setSizeGripEnabled(false);
    status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // as wide as the sheet
    stack->addWidget(status);

    auto* beneath = new QWidget(status);
    QVBoxLayout* lines = columnIn(beneath, QMargins(2, 0, 2, 2));
    m_verdictLine = new window::MessageLine(true, beneath);
    m_verdictLine->setObjectName("lblVerdict");
    lines->addWidget(m_verdictLine);
    auto* scrolled = new QWidget;
    QVBoxLayout* more = columnIn(scrolled);
    for (auto [line, name, announcing] : {std::tuple{&m_warningLine, "lblWarnings", true},
                                          std::tuple{&m_readoutLine, "lblReadouts", false},
                                          std::tuple{&m_noteLine, "lblNote", true}}) {
        *line = new window::MessageLine(announcing, scrolled);
        (*line)->setObjectName(name);
        more->addWidget(*line);
    }
    m_linesArea = new window::LinesArea(scrolled, beneath);
    m_linesArea->setObjectName("linesBeneath");
    lines->addWidget(m_linesArea);
    // After the last control in the Tab order, while they scroll; Qt orders
    // no widget that takes no focus, as they take none until then.
    m_linesArea->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(m_controls.cmdLoading.back(), m_linesArea);
    m_linesArea->setFocusPolicy(Qt::NoFocus);
    status->addWidget(beneath, 1);
    setCentralWidget(column);
}

void frmKQ71wb::wireEvents()
{
    const auto& c = m_controls;
    // A field that was given more than it keeps says so once the change is done.
    const auto sayWhenCut = [this](window::SheetField* field, FieldKind kind, int row) {
        connect(field, &window::SheetField::textCut, this, [this, kind, row] { setNote(fromUtf8(cutWords(kind, row))); },
                Qt::QueuedConnection);
    };
    for (int i = 0; i < Sheet::kRowCount; ++i) {
        const auto row = static_cast<std::size_t>(i);
        connect(c.txtWeight[row], &QLineEdit::textChanged, this, [this, i] { txtWeight_Change(i); });
        connect(c.txtArm[row], &QLineEdit::textChanged, this, [this, i] { txtArm_Change(i); });
        connect(c.txtWeight[row], &window::SheetField::gotFocus, this, [this, i] { txtWeight_GotFocus(i); });
        connect(c.txtArm[row], &window::SheetField::gotFocus, this, [this, i] { txtArm_GotFocus(i); });
        sayWhenCut(c.txtWeight[row], FieldKind::Weight, i);
        sayWhenCut(c.txtArm[row], FieldKind::Arm, i);
    }
    for (int k = 0; k < static_cast<int>(c.txtMisc.size()); ++k) {
        window::SheetField* field = c.txtMisc[static_cast<std::size_t>(k)];
        connect(field, &window::SheetField::gotFocus, this, [this, k] { txtMisc_GotFocus(k); });
        connect(field, &QLineEdit::textChanged, this, [this, k] { txtMisc_Change(k); });
        sayWhenCut(field, FieldKind::Description, k + kFirstDescribedRow);
    }
    for (int i = 0; i < static_cast<int>(c.cmdLoading.size()); ++i)
        connect(c.cmdLoading[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdLoading_Click(i); });
    // The read-outs follow the caret: in an item's weight or arm they first
    // say what that item may weigh. A window that only loses the focus (to a
    // menu, or another program) keeps them as they are.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window() != this)
            return;
        // Only the read-outs' line can change; the rest is not touched, so
        // that a move of the caret makes no screen reader speak.
        // A caret the session sent there itself needs no second trip.
        const auto& fields = m_controls;
        Caret caret;
        for (int i = 0; i < Sheet::kRowCount; ++i) {
            const auto row = static_cast<std::size_t>(i);
            if (now == fields.txtWeight[row] || now == fields.txtArm[row])
                caret = {now == fields.txtWeight[row] ? FieldKind::Weight : FieldKind::Arm, i};
        }
        if (std::exchange(m_caretTold, caret) != caret)
            m_readoutLine->setMessage(fromUtf8(m_session.focus(caret.field, caret.row).lines.readouts));
    });
    connect(c.mnuPrint, &QAction::triggered, this, &frmKQ71wb::mnuPrint_Click);
    connect(c.mnuExit, &QAction::triggered, this, &frmKQ71wb::mnuExit_Click);
    connect(c.mnuReport, &QAction::triggered, this, &frmKQ71wb::mnuReport_Click);
    connect(m_copyLoadSheet, &QAction::triggered, this, [this] {
        lookAgainAtLoadings();
        QGuiApplication::clipboard()->setText(loadSheetCopy(loadSheet()));
        setNote(fromUtf8(std::string(kCopiedNote)));
    });
    connect(m_speakResult, &QAction::triggered, this, [this] { setNote(fromUtf8(m_session.summary())); });
}

// The fields and captions start as the session's fresh sheet has them; the
// loadings come from the first file found.
void frmKQ71wb::Form_Load()
{
    placeOnScreen(true);
    const LoadingsRead read = ReadLoadingsFile(m_loadingsFiles);
    const std::string file = read.file.empty() ? std::string() : shownFromHome(read.file).toStdString();
    // The session says which file the buttons came from, as it is looked for
    // in more than one place; or why there are none.
    if (!read.problem.empty()) {
        showView(m_session.useNoLoadings(file, read.problem));
        return;
    }
    m_loadingsRead = read.file;
    showView(m_session.startWithLoadings(
        read.bytes, {file, read.file.empty() ? std::nullopt : std::optional(localTime(QDateTime::fromSecsSinceEpoch(read.modified))),
                     read.sha256, read.size}));
}

// The loadings file as it is on disk now, against what was read: a file
// changed since is said on the sheet, and with the note.
void frmKQ71wb::lookAgainAtLoadings()
{
    if (m_loadingsRead.empty())
        return;
    const FileRead now = readFileAt(m_loadingsRead);
    m_session.lookAgainAtLoadings(now.found && now.problem.empty() ? now.sha256 : std::string());
}

bool frmKQ71wb::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::LayoutRequest:  // what it holds asks for another size
    case QEvent::ScreenChangeInternal:
        placeOnScreen(false);
        break;
    case QEvent::Show:
    case QEvent::Move:
        // The desktop gives the window its frame only once it is shown: the
        // frame, title bar included, is centred as soon as it is known.
        if (!m_frameCentred && windowHandle() && !windowHandle()->frameMargins().isNull()) {
            m_frameCentred = true;
            placeOnScreen(true);
        }
        break;
    default:
        break;
    }
    return handled;
}

// The window is as large as what it holds, up to the room on its screen,
// where Qt's layouts share out what room there is (layOutLinesBeneath). It
// opens centred; as it grows downwards it moves up where its bottom would
// leave the screen, and it never stands above or left of the screen's
// available area.
void frmKQ71wb::placeOnScreen(bool centred)
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    setFixedSize(sizeHint().boundedTo(available.size().shrunkBy(frame)).expandedTo(minimumSizeHint()));
    if (!centred && !isVisible())
        return;
    const QRect outer(centred ? centredFramePosition(available, frame, size()) : pos(), size().grownBy(frame));
    const QPoint within(std::max(available.left(), std::min(outer.left(), available.right() + 1 - outer.width())),
                        std::max(available.top(), std::min(outer.top(), available.bottom() + 1 - outer.height())));
    if (within != pos())
        move(within);
}

QPoint centredFramePosition(const QRect& available, const QMargins& frame, const QSize& client)
{
    const QSize outer = client.grownBy(frame);
    return {available.x() + (available.width() - outer.width()) / 2,
            available.y() + (available.height() - outer.height()) / 2};
}

void frmKQ71wb::edit(FieldKind field, int row, const QString& text)
{
    // A text the view itself puts in a field is already the session's.
    if (!m_showingView)
        showView(m_session.edit(field, row, text.toStdString()));
}

void frmKQ71wb::showView(const View& view)
{
    const QScopedValueRollback showing(m_showingView, true);
    auto& c = m_controls;
    const Sheet& sheet = view.sheet;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        putText(*c.txtWeight[i], sheet.weight[i], m_textsShown.weight[i]);
        putText(*c.txtArm[i], sheet.arm[i], m_textsShown.arm[i]);
        c.lblMoment[i]->setCaption(fromUtf8(sheet.moment[i]));
    }
    for (std::size_t k = 0; k < c.txtMisc.size(); ++k) {
        const std::size_t row = k + kFirstDescribedRow;
        putText(*c.txtMisc[k], sheet.description[row], m_textsShown.description[row]);
    }
    c.lblGrossWeight->setCaption(fromUtf8(sheet.grossWeight));
    c.lblGrossMoment->setCaption(fromUtf8(sheet.grossMoment));
    c.lblFlyCG->setCaption(fromUtf8(sheet.flyCg));
    c.lblGrossWeight->setVerdict(fromUtf8(view.grossWeightWords));
    c.lblFlyCG->setVerdict(fromUtf8(view.flyCgWords));

    // Until the first weighed pass the results keep the colours they were
    // laid out with; a figure the last pass did not write is greyed.
    static constexpr window::OleColor kGrossWeightLayoutColor = window::layoutOf("lblGrossWeight").backColor;
    static constexpr window::OleColor kGrossMomentLayoutColor = window::layoutOf("lblGrossMoment").backColor;
    static constexpr window::OleColor kFlyCgLayoutColor = window::layoutOf("lblFlyCG").backColor;
    static constexpr window::OleColor kMomentLayoutColor = window::layoutOf("lblMoment", 0).backColor;
    window::showFigure(*c.lblGrossWeight,
                       sheet.grossWeightVerdict ? window::colorOf(*sheet.grossWeightVerdict) : kGrossWeightLayoutColor,
                       view.current.gross);
    window::showFigure(*c.lblGrossMoment, kGrossMomentLayoutColor, view.current.gross);
    window::showFigure(*c.lblFlyCG, sheet.flyCgVerdict ? window::colorOf(*sheet.flyCgVerdict) : kFlyCgLayoutColor,
                       view.current.flyCg);
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
        window::showFigure(*c.lblMoment[i], kMomentLayoutColor, !sheet.momentStale[i]);
    // A CG off the scale puts the thumb at the nearer end.
    if (sheet.sliderValue)
        c.Slider1->setValue(*sheet.sliderValue);
    c.Slider1->setCentreOfGravity(fromUtf8(view.scaleWords), sheet.sliderValue ? ValueOfText(sheet.flyCg) : std::nullopt,
                                  view.current.scale);
    showLoadings(view);

    const LinesBeneath& lines = view.lines;
    m_verdictLine->setMessage(fromUtf8(lines.verdict));
    m_warningLine->setMessage(fromUtf8(lines.warningText()));
    m_readoutLine->setMessage(fromUtf8(lines.readouts));
    m_noteLine->setMessage(fromUtf8(lines.note));
    if (view.announce.verdict)
        m_verdictLine->announce();
    if (view.announce.warnings)
        m_warningLine->announce();
    if (view.announce.note)
        m_noteLine->announce();
    // Where the lines scroll, the newest shows: what a screen reader was just told.
    if (view.announce.note || view.announce.warnings)
        m_linesArea->follow(view.announce.note ? m_noteLine : m_warningLine);
}

// The marked loading light yellow, the others with the button face. Only a
// change is shown: a button's new name is news to a screen reader.
void frmKQ71wb::showLoadings(const View& view)
{
    if (view.loadings == m_loadingsShown && view.marked == m_markedShown)
        return;
    m_loadingsShown = view.loadings;
    m_markedShown = view.marked;
    for (int i = 0; i < static_cast<int>(kLoadingCount); ++i) {
        const LoadingButtonView& shown = view.loadings[static_cast<std::size_t>(i)];
        window::LoadingButton& button = *m_controls.cmdLoading[static_cast<std::size_t>(i)];
        // A name shows as written: "R&D Club" is no access key.
        const QString caption = fromUtf8(shown.caption);
        button.setText(QString(caption).replace('&', "&&"));
        button.setAccessibleName(caption);
        button.setEnabled(shown.canPress);
        button.setToolTip(fromUtf8(shown.whyNot.empty() ? shown.from : shown.whyNot));
        window::setBackColor(button, i == view.marked ? window::kLightYellow : window::kButtonFace);
        button.setChecked(i == view.marked);
    }
}

void frmKQ71wb::setNote(const QString& note) { showView(m_session.setNote(note.toStdString())); }

void frmKQ71wb::txtWeight_Change(int Index) { edit(FieldKind::Weight, Index, m_controls.txtWeight[static_cast<std::size_t>(Index)]->text()); }
void frmKQ71wb::txtArm_Change(int Index) { edit(FieldKind::Arm, Index, m_controls.txtArm[static_cast<std::size_t>(Index)]->text()); }
void frmKQ71wb::txtMisc_Change(int Index)
{
    edit(FieldKind::Description, Index + kFirstDescribedRow, m_controls.txtMisc[static_cast<std::size_t>(Index)]->text());
}

void frmKQ71wb::txtWeight_GotFocus(int Index) { m_controls.txtWeight[static_cast<std::size_t>(Index)]->selectAll(); }
void frmKQ71wb::txtArm_GotFocus(int Index) { m_controls.txtArm[static_cast<std::size_t>(Index)]->selectAll(); }
void frmKQ71wb::txtMisc_GotFocus(int Index) { m_controls.txtMisc[static_cast<std::size_t>(Index)]->selectAll(); }

void frmKQ71wb::cmdLoading_Click(int Index)
{
    auto& c = m_controls;
    if (!c.cmdLoading[static_cast<std::size_t>(Index)]->isEnabled())
        return;
    const View view = m_session.pressLoading(Index);
    showView(view);
    if (!view.caretTo)
        return;
    // The session's read-outs are already the caret's. A press that never
    // took the focus (an access key) may leave it in that very field, where
    // no focus event would come to select the text.
    m_caretTold = *view.caretTo;
    const auto row = static_cast<std::size_t>(view.caretTo->row);
    window::SheetField* field = view.caretTo->field == FieldKind::Weight ? c.txtWeight[row] : c.txtArm[row];
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

// The window's image as it stood at one moment: a copy of its client area,
// never shown, focused or under the pointer, so that it has the figures
// without a caret, focus frame or hover, and two prints of the same sheet
// are the same. It keeps what it was given whatever the window shows after.
class SheetImage {
public:
    explicit SheetImage(const window::WindowControls& from) : m_shown(window::buildWindow(m_copy))
    {
        window::copyShownState(from, m_shown);
    }
    QSizeF size() const { return m_shown.client->size(); }
    void draw(QPainter& painter) const
    {
        m_shown.client->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }

private:
    QMainWindow m_copy;
    window::WindowControls m_shown;
};

bool frmKQ71wb::paintClientArea(QPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scale = device.logicalDpiX() / 96.0;
    painter.scale(scale, scale);
    SheetImage(m_controls).draw(painter);
    return painter.end();
}

LoadSheetText frmKQ71wb::loadSheet() const
{
    return m_session.loadSheet(localTime(QDateTime::currentDateTime()),
                               (QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion()).toStdString());
}

LoadSheetPage frmKQ71wb::loadSheetPage() const { return {loadSheet(), std::make_shared<const SheetImage>(m_controls)}; }

QString frmKQ71wb::loadSheetCopy(const LoadSheetText& text)
{
    QString copy;
    for (const std::string& line : text.lines())
        copy += fromUtf8(line) + '\n';
    return copy;
}

std::optional<QString> frmKQ71wb::paintLoadSheet(QPaintDevice& device, const LoadSheetPage& sheet)
{
    // Without a font that draws them, every letter would be printed as a box.
    if (!wordsLegible(sheet.text))
        return "the page could not be written legibly, as no installed font draws its letters";
    QPainter painter;
    if (!painter.begin(&device))
        return "the page could not be drawn";
    // Laid out in pixels of a 96-dot-per-inch screen, the window's own size,
    // inside the page's margins (three quarters of an inch on a plain device).
    const double scale = device.logicalDpiX() / 96.0;
    QRectF page(0, 0, device.width() / scale, device.height() / scale);
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&device))
        page = paged->pageLayout().paintRectPixels(device.logicalDpiX()).toRectF();
    page = QRectF(page.topLeft() / scale, page.size() / scale).adjusted(72, 72, -72, -72);
    painter.scale(scale, scale);

    const QSizeF image = sheet.image->size();
    const PageLayout layout = layOutPage(page, sheet.text, image);
    paintPage(painter, page, layout, sheet.text, image, [&sheet](QPainter& onPage) { sheet.image->draw(onPage); });
    if (!painter.end())
        return "the page could not be drawn";
    return std::nullopt;
}

// The page is printed or saved beside the window, which stays responsive;
// the line says how far it has gone until what became of it is known. Its
// words and its image are both of the moment it was asked for: an edit made
// while the printer is looked for is on neither.
void frmKQ71wb::mnuPrint_Click()
{
    lookAgainAtLoadings();
    const LoadSheetPage sheet = loadSheetPage();
    setNote(printPage(
        m_printTarget, [sheet](QPaintDevice& device) { return paintLoadSheet(device, sheet); }, *this,
        [this](const QString& said) { setNote(said); }));
}

void frmKQ71wb::mnuExit_Click() { close(); }

// Help > Report a problem: what a report needs, on the clipboard.
void frmKQ71wb::mnuReport_Click()
{
    const QString platform = QSysInfo::prettyProductName() + ", Qt " + qVersion() + ", " + QGuiApplication::platformName();
    QGuiApplication::clipboard()->setText(fromUtf8(problemReport(loadSheet(), platform.toStdString())));
    setNote(fromUtf8(reportNote(true)));
}

}  // namespace kq71wb
