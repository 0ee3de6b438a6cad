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
#include <QScreen>
#include <QStatusBar>
#include <QLocale>
#include <QVBoxLayout>
#include <QStyleFactory>
#include <QWindow>

#include "conversions.h"
#include "load_sheet.h"
#include "load_sheet_page.h"
#include "loadings.h"
#include "print_target.h"
#include "version.h"
#include "widgets.h"

namespace kq71wb {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where a user puts a loadings file: the folder of the last place looked in,
// the user's configuration folder, shown from the home folder.
QString loadingsFolderShown(const std::vector<std::filesystem::path>& candidates)
{
    if (candidates.empty())
        return "the program's folder";
    QString folder = QString::fromStdString(candidates.back().parent_path().string()) + '/';
    const QString home = QDir::homePath();
    if (folder.startsWith(home + '/'))
        folder.replace(0, home.size(), "~");
    return folder;
}

}  // namespace

frmKQ71wb::frmKQ71wb(std::vector<std::filesystem::path> loadingsFiles, PrintTarget& printTarget, QWidget* parent)
    : QMainWindow(parent), m_loadingsFiles(std::move(loadingsFiles)), m_printTarget(printTarget)
{
    m_controls = window::buildWindow(*this);
    // Beneath the fixed layout, the lines the sheet says: the verdict,
    // warnings, the read-outs and what became of a print. They wrap, and the
    // window grows downwards to hold them.
    // In the status bar, as a screen reader expects the notifications of a
    // window to be, and in the desktop's own colours.
    auto* lines = new QWidget(this);
    auto* stack = new QVBoxLayout(lines);
    stack->setContentsMargins(2, 0, 2, 2);
    stack->setSpacing(0);
    for (auto [line, name, announcing] : {std::tuple{&m_verdictLine, "lblVerdict", true},
                                          std::tuple{&m_warningLine, "lblWarnings", true},
                                          std::tuple{&m_readoutLine, "lblReadouts", false},
                                          std::tuple{&m_noteLine, "lblNote", true}}) {
        *line = new window::MessageLine(announcing, lines);
        (*line)->setObjectName(name);
        stack->addWidget(*line);
    }
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(lines, 1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Ctrl+Shift+C: the load sheet's lines as text, for a logbook or an e-mail.
    // F8: the whole result spoken, for a pilot who cannot see where to look.
    m_copyLoadSheet = new QAction(this);
    m_copyLoadSheet->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_speakResult = new QAction(this);
    m_speakResult->setShortcut(QKeySequence(Qt::Key_F8));
    addActions({m_copyLoadSheet, m_speakResult});

    wireEvents();
    Form_Load();
    m_controls.txtWeight[0]->setFocus();
}

void frmKQ71wb::wireEvents()
{
    const auto& c = m_controls;
    // A field that was given more than it keeps says so once the change is done.
    const auto sayWhenCut = [this](window::SheetField* field, const std::string& name) {
        connect(field, &window::SheetField::textCut, this, [this, name] {
            const QString most = QLocale(QLocale::English).toString(window::SheetField::kMaxFieldCharacters);
            setNote(fromUtf8(name) + QString(" keeps at most %1 characters; the rest was cut.").arg(most));
        }, Qt::QueuedConnection);
    };
    for (int i = 0; i < Sheet::kRowCount; ++i) {
        const auto row = static_cast<std::size_t>(i);
        connect(c.txtWeight[row], &QLineEdit::textChanged, this, [this, i] { txtWeight_Change(i); });
        connect(c.txtArm[row], &QLineEdit::textChanged, this, [this, i] { txtArm_Change(i); });
        connect(c.txtWeight[row], &window::SheetField::gotFocus, this, [this, i] { txtWeight_GotFocus(i); });
        connect(c.txtArm[row], &window::SheetField::gotFocus, this, [this, i] { txtArm_GotFocus(i); });
        sayWhenCut(c.txtWeight[row], fieldName(FieldKind::Weight, i));
        sayWhenCut(c.txtArm[row], fieldName(FieldKind::Arm, i));
    }
    for (int k = 0; k < static_cast<int>(c.txtMisc.size()); ++k) {
        window::SheetField* field = c.txtMisc[static_cast<std::size_t>(k)];
        connect(field, &window::SheetField::gotFocus, this, [this, k] { txtMisc_GotFocus(k); });
        // Descriptions change no figure; the load sheet names its rows by them.
        connect(field, &QLineEdit::textChanged, this, [this, k](const QString& text) {
            m_sheet.description[static_cast<std::size_t>(k + 2)] = text.toStdString();
        });
        sayWhenCut(field, fieldName(FieldKind::Description, k + 2));
    }
    for (int i = 0; i < static_cast<int>(c.cmdLoading.size()); ++i)
        connect(c.cmdLoading[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdLoading_Click(i); });
    connect(c.mnuPrint, &QAction::triggered, this, &frmKQ71wb::mnuPrint_Click);
    connect(c.mnuExit, &QAction::triggered, this, &frmKQ71wb::mnuExit_Click);
    connect(m_copyLoadSheet, &QAction::triggered, this, [this] {
        QGuiApplication::clipboard()->setText(loadSheetCopy(sheetHeading()));
        setNote(fromUtf8(std::string(kCopiedNote)));
    });
    connect(m_speakResult, &QAction::triggered, this, [this] { setNote(fromUtf8(resultSummary(m_sheet, m_fault))); });
}

void frmKQ71wb::Form_Load()
{
    centreOnScreen();

    auto& c = m_controls;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        c.txtWeight[i]->setText(QString());
        c.txtArm[i]->setText(QString());
        m_sheet.moment[i].clear();
        c.lblMoment[i]->setCaption(QString());
    }
    for (auto [caption, label] : {std::pair{&m_sheet.grossWeight, c.lblGrossWeight},
                                  std::pair{&m_sheet.grossMoment, c.lblGrossMoment},
                                  std::pair{&m_sheet.flyCg, c.lblFlyCG}}) {
        caption->clear();
        label->setCaption(QString());
    }

    const Loadings loadings = ReadLoadings(m_loadingsFiles);
    const QString whereToPutOne = QString("put kq71wb.dat in %1 (a sample is in /usr/share/doc/kq71wb/)")
                                      .arg(loadingsFolderShown(m_loadingsFiles));
    bool anyLoading = false;
    for (std::size_t i = 0; i < kLoadingCount; ++i) {
        // A name shows as written: "R&D Club" is no access key.
        const QString name = fromUtf8(loadings[i].name);
        window::LoadingButton& button = *c.cmdLoading[i];
        button.setText(QString(name).replace('&', "&&"));
        button.setAccessibleName(name.isEmpty() ? QString("Loading %1").arg(i + 1) : name);
        this->*kStoredWeight[i] = fromUtf8(loadings[i].weight);
        this->*kStoredArm[i] = fromUtf8(loadings[i].arm);
        // A button without a loading would only wipe the aircraft-empty row.
        const bool hasLoading = loadings[i] != Loading{};
        anyLoading = anyLoading || hasLoading;
        button.setEnabled(hasLoading);
        button.setToolTip(hasLoading ? QString() : "No loading: " + whereToPutOne + '.');
    }

    c.txtArm[kPilotRow]->setText(fromUtf8(std::string(kPilotArmAtStart)));
    if (!anyLoading)
        setNote("No loadings file: for the loading buttons, " + whereToPutOne + '.');
}

void frmKQ71wb::centreOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    adjustSize();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    move(centredFramePosition(screen->availableGeometry(), frame, size()));
}

bool frmKQ71wb::event(QEvent* event)
{
    // The desktop gives the window its frame only once it is shown: centre the
    // frame, title bar included, as soon as it is known.
    if (!m_frameCentred && (event->type() == QEvent::Move || event->type() == QEvent::Show) && windowHandle() &&
        !windowHandle()->frameMargins().isNull()) {
        m_frameCentred = true;
        centreOnScreen();
    }
    return QMainWindow::event(event);
}

QPoint centredFramePosition(const QRect& available, const QMargins& frame, const QSize& client)
{
    const QSize outer = client.grownBy(frame);
    return {available.x() + (available.width() - outer.width()) / 2,
            available.y() + (available.height() - outer.height()) / 2};
}

void frmKQ71wb::Calc()
{
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        m_sheet.weight[i] = m_controls.txtWeight[i]->text().toStdString();
        m_sheet.arm[i] = m_controls.txtArm[i]->text().toStdString();
    }
    m_fault = kq71wb::Calc(m_sheet);
    if (m_pagesOnTheirWay == 0)
        m_note.clear();
    // A loading stays marked only while the aircraft-empty row holds its texts,
    // so that no page names a glider whose figures were changed.
    if (m_markedLoading >= 0 && !rowHoldsLoading(m_markedLoading))
        markLoading(-1);
    showSheet();
}

void frmKQ71wb::showSheet()
{
    auto& c = m_controls;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
        c.lblMoment[i]->setCaption(fromUtf8(m_sheet.moment[i]));
    c.lblGrossWeight->setCaption(fromUtf8(m_sheet.grossWeight));
    c.lblGrossMoment->setCaption(fromUtf8(m_sheet.grossMoment));
    c.lblFlyCG->setCaption(fromUtf8(m_sheet.flyCg));
    c.lblGrossWeight->setVerdict(fromUtf8(grossWeightWords(m_sheet, m_fault)));
    c.lblFlyCG->setVerdict(fromUtf8(flyCgWords(m_sheet, m_fault)));

    // Until the first weighed pass the results keep the colours they were laid out with.
    static constexpr window::OleColor kGrossWeightLayoutColor = window::layoutOf("lblGrossWeight").backColor;
    static constexpr window::OleColor kFlyCgLayoutColor = window::layoutOf("lblFlyCG").backColor;
    window::setBackColor(*c.lblGrossWeight, m_sheet.grossWeightVerdict ? window::colorOf(*m_sheet.grossWeightVerdict)
                                                                         : kGrossWeightLayoutColor);
    window::setBackColor(*c.lblFlyCG, m_sheet.flyCgVerdict ? window::colorOf(*m_sheet.flyCgVerdict) : kFlyCgLayoutColor);
    // A CG off the scale puts the thumb at the nearer end.
    if (m_sheet.sliderValue)
        c.Slider1->setValue(*m_sheet.sliderValue);
    c.Slider1->setCentreOfGravity(fromUtf8(scaleWords(m_sheet)),
                                  m_sheet.sliderValue ? ValueOfText(m_sheet.flyCg) : std::nullopt);
    showLines();
}

void frmKQ71wb::showLines()
{
    const LinesBeneath now = linesBeneath(m_sheet, m_fault, m_note);
    m_verdictLine->setMessage(fromUtf8(now.verdict));
    m_warningLine->setMessage(fromUtf8(now.warningText()));
    m_readoutLine->setMessage(fromUtf8(now.readouts));
    m_noteLine->setMessage(fromUtf8(now.note));
    const Announcements spoken = announcementsFor(m_shown, now);
    m_shown = now;
    if (spoken.verdict)
        m_verdictLine->announce();
    if (spoken.warnings)
        m_warningLine->announce();
}

// A note is spoken whenever it is set, the same words again included.
void frmKQ71wb::setNote(const QString& note)
{
    m_note = note.toStdString();
    showLines();
    m_noteLine->announce();
}

void frmKQ71wb::txtWeight_Change(int) { Calc(); }
void frmKQ71wb::txtArm_Change(int) { Calc(); }

void frmKQ71wb::txtWeight_GotFocus(int Index) { m_controls.txtWeight[static_cast<std::size_t>(Index)]->selectAll(); }
void frmKQ71wb::txtArm_GotFocus(int Index) { m_controls.txtArm[static_cast<std::size_t>(Index)]->selectAll(); }
void frmKQ71wb::txtMisc_GotFocus(int Index) { m_controls.txtMisc[static_cast<std::size_t>(Index)]->selectAll(); }

// Marks one loading button light yellow and the others with the button face;
// -1 marks none.
void frmKQ71wb::markLoading(int index)
{
    m_markedLoading = index;
    for (int i = 0; i < static_cast<int>(m_controls.cmdLoading.size()); ++i) {
        window::LoadingButton& button = *m_controls.cmdLoading[static_cast<std::size_t>(i)];
        window::setBackColor(button, i == index ? window::kLightYellow : window::kButtonFace);
        button.setChecked(i == index);
    }
}

bool frmKQ71wb::rowHoldsLoading(int index) const
{
    const auto k = static_cast<std::size_t>(index);
    return m_controls.txtWeight[0]->text() == this->*kStoredWeight[k] &&
           m_controls.txtArm[0]->text() == this->*kStoredArm[k];
}

void frmKQ71wb::cmdLoading_Click(int Index)
{
    auto& c = m_controls;
    const auto k = static_cast<std::size_t>(Index);
    if (!c.cmdLoading[k]->isEnabled())
        return;
    markLoading(-1);
    const std::string verdictBefore = m_shown.verdict;
    c.txtWeight[0]->setText(this->*kStoredWeight[k]);
    c.txtArm[0]->setText(this->*kStoredArm[k]);
    markLoading(Index);
    // New figures under the same words are said again; new words were said
    // as they changed, and once is enough.
    if (m_shown.verdict == verdictBefore)
        m_verdictLine->announce();
    // A press that never took the focus (an access key) leaves it in the
    // pilot's weight, where no focus event would come to select the text.
    if (c.txtWeight[kPilotRow]->hasFocus())
        txtWeight_GotFocus(kPilotRow);
    else
        c.txtWeight[kPilotRow]->setFocus(Qt::OtherFocusReason);
}

void frmKQ71wb::renderSheet(QPainter& painter) const
{
    // A copy of the sheet, never focused or under the pointer, shows the
    // figures without a caret, focus frame or hover, so that two prints of the
    // same sheet are the same.
    QMainWindow copy;
    const window::WindowControls shown = window::buildWindow(copy);
    window::copyShownState(m_controls, shown);
    shown.client->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

bool frmKQ71wb::paintClientArea(QPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scale = device.logicalDpiX() / 96.0;
    painter.scale(scale, scale);
    renderSheet(painter);
    return painter.end();
}

LoadSheetHeading frmKQ71wb::sheetHeading() const
{
    const QString loading = m_markedLoading < 0 ? QString()
                                                : m_controls.cmdLoading[static_cast<std::size_t>(m_markedLoading)]
                                                      ->text()
                                                      .replace("&&", "&");
    return {QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm").toStdString(),
            (QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion()).toStdString(),
            loading.toStdString()};
}

QString frmKQ71wb::loadSheetCopy(const LoadSheetHeading& heading) const
{
    QString copy;
    for (const std::string& line : loadSheetText(m_sheet, m_fault, heading).lines())
        copy += fromUtf8(line) + '\n';
    return copy;
}

bool frmKQ71wb::paintLoadSheet(QPaintDevice& device, const LoadSheetHeading& heading) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Laid out in pixels of a 96-dot-per-inch screen, the window's own size,
    // inside the page's margins (three quarters of an inch on a plain device).
    const double scale = device.logicalDpiX() / 96.0;
    QRectF page(0, 0, device.width() / scale, device.height() / scale);
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&device))
        page = paged->pageLayout().paintRectPixels(device.logicalDpiX()).toRectF();
    page = QRectF(page.topLeft() / scale, page.size() / scale).adjusted(72, 72, -72, -72);
    painter.scale(scale, scale);

    const QSizeF image = m_controls.client->size();
    const PageLayout layout = layOutPage(page, loadSheetText(m_sheet, m_fault, heading), image);
    paintPage(painter, page, layout, image, [this](QPainter& onPage) { renderSheet(onPage); });
    return painter.end();
}

void frmKQ71wb::mnuPrint_Click()
{
    const LoadSheetHeading heading = sheetHeading();
    // The page is saved or printed beside the window, which stays responsive;
    // "Saving…" stands until what became of it is known.
    const PrintStarted started = printPage(
        m_printTarget, [this, &heading](QPaintDevice& device) { return paintLoadSheet(device, heading); }, *this,
        [this](const QString& said) {
            --m_pagesOnTheirWay;
            setNote(said);
        });
    m_pagesOnTheirWay += started.underWay ? 1 : 0;
    setNote(started.said);
}

void frmKQ71wb::mnuExit_Click() { close(); }

void configureApplication()
{
    QCoreApplication::setApplicationName("KQ71WB");
    QCoreApplication::setApplicationVersion(KQ71WB_VERSION);
    qApp->setProperty("applicationDescription", QString(kDescription));
    QGuiApplication::setDesktopFileName("io.github.kq71wb.kq71wb");
    // One style everywhere, so that the loading buttons show their colour.
    if (QStyle* style = QStyleFactory::create("Fusion"))
        QApplication::setStyle(style);
}

std::vector<std::filesystem::path> defaultLoadingsFiles()
{
    const QByteArray programDirectory = QFile::encodeName(QCoreApplication::applicationDirPath());
    return loadingsFileCandidates(programDirectory.toStdString(), qgetenv("XDG_CONFIG_HOME").toStdString(),
                                  qgetenv("HOME").toStdString());
}

}  // namespace kq71wb
