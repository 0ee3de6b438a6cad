#include "frm_kq71wb.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QStyleFactory>
#include <QWindow>

#include "conversions.h"
#include "load_sheet.h"
#include "loadings.h"
#include "print_target.h"
#include "readouts.h"
#include "version.h"
#include "widgets.h"

namespace kq71wb {
namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A result's verdict in words, or none before it has one; totals kept from an
// earlier pass say they are not current.
template <class Verdict>
QString verdictOf(const std::optional<Verdict>& verdict, bool stale)
{
    if (!verdict)
        return {};
    return fromUtf8(colourWords(*verdict)) + (stale ? ", not updated" : "");
}

}  // namespace

frmKQ71wb::frmKQ71wb(std::vector<std::filesystem::path> loadingsFiles, PrintTarget& printTarget, QWidget* parent)
    : QMainWindow(parent), m_loadingsFiles(std::move(loadingsFiles)), m_printTarget(printTarget)
{
    m_controls = window::buildWindow(*this);
    // Beneath the fixed layout, two lines in the desktop's own colours: faults,
    // printing, misread numbers and the verdict in words; and the read-outs.
    auto* lines = new QWidget(this);
    auto* stack = new QVBoxLayout(lines);
    stack->setContentsMargins(2, 0, 2, 0);
    stack->setSpacing(0);
    for (auto [line, name] : {std::pair{&m_status, "lblStatus"}, std::pair{&m_readouts, "lblReadouts"}}) {
        *line = new window::MessageLine(line == &m_status, lines);
        (*line)->setObjectName(name);
        stack->addWidget(*line);
    }
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(lines, 1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Ctrl+Shift+C: the load sheet's lines as text, for a logbook or an e-mail.
    m_copyLoadSheet = new QAction(this);
    m_copyLoadSheet->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    addAction(m_copyLoadSheet);

    wireEvents();
    Form_Load();
    m_controls.txtWeight[0]->setFocus();
}

void frmKQ71wb::wireEvents()
{
    const auto& c = m_controls;
    for (int i = 0; i < Sheet::kRowCount; ++i) {
        const auto row = static_cast<std::size_t>(i);
        connect(c.txtWeight[row], &QLineEdit::textChanged, this, [this, i] { txtWeight_Change(i); });
        connect(c.txtArm[row], &QLineEdit::textChanged, this, [this, i] { txtArm_Change(i); });
        connect(c.txtWeight[row], &window::SheetField::gotFocus, this, [this, i] { txtWeight_GotFocus(i); });
        connect(c.txtArm[row], &window::SheetField::gotFocus, this, [this, i] { txtArm_GotFocus(i); });
    }
    for (int k = 0; k < static_cast<int>(c.txtMisc.size()); ++k)
        connect(c.txtMisc[static_cast<std::size_t>(k)], &window::SheetField::gotFocus, this,
                [this, k] { txtMisc_GotFocus(k); });
    for (int i = 0; i < static_cast<int>(c.cmdLoading.size()); ++i)
        connect(c.cmdLoading[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdLoading_Click(i); });
    connect(c.mnuPrint, &QAction::triggered, this, &frmKQ71wb::mnuPrint_Click);
    connect(c.mnuExit, &QAction::triggered, this, &frmKQ71wb::mnuExit_Click);
    connect(m_copyLoadSheet, &QAction::triggered, this, [this] {
        QGuiApplication::clipboard()->setText(loadSheetLines(printHeading()).join('\n') + '\n');
    });
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
    for (std::size_t i = 0; i < kLoadingCount; ++i) {
        // A name shows as written: "R&D Club" is no access key.
        const QString name = fromUtf8(loadings[i].name);
        c.cmdLoading[i]->setText(QString(name).replace('&', "&&"));
        c.cmdLoading[i]->setAccessibleName(name.isEmpty() ? QString("Loading %1").arg(i + 1) : name);
        this->*kStoredWeight[i] = fromUtf8(loadings[i].weight);
        this->*kStoredArm[i] = fromUtf8(loadings[i].arm);
    }

    // The pilot sits 20 inches forward of the datum.
    c.txtArm[1]->setText("-20");
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
    m_printNote.clear();
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
    c.lblGrossWeight->setVerdict(verdictOf(m_sheet.grossWeightVerdict, m_sheet.totalsStale));
    c.lblFlyCG->setVerdict(verdictOf(m_sheet.flyCgVerdict, m_sheet.totalsStale));

    // Until the first weighed pass the results keep the colours they were laid out with.
    static constexpr OleColor kGrossWeightLayoutColor = window::layoutOf("lblGrossWeight").backColor;
    static constexpr OleColor kFlyCgLayoutColor = window::layoutOf("lblFlyCG").backColor;
    window::setBackColor(*c.lblGrossWeight, m_sheet.grossWeightVerdict ? colorOf(*m_sheet.grossWeightVerdict)
                                                                         : kGrossWeightLayoutColor);
    window::setBackColor(*c.lblFlyCG, m_sheet.flyCgVerdict ? colorOf(*m_sheet.flyCgVerdict) : kFlyCgLayoutColor);
    // A CG off the scale puts the thumb at the nearer end.
    if (m_sheet.sliderValue)
        c.Slider1->setValue(*m_sheet.sliderValue);
    c.Slider1->setCentreOfGravity(fromUtf8(scaleWords(m_sheet)),
                                  m_sheet.sliderValue ? ValueOfText(m_sheet.flyCg) : std::nullopt);
    showStatus();
}

QString frmKQ71wb::statusText() const
{
    if (m_fault)
        return fromUtf8(describeFault(*m_fault));
    if (!m_printNote.isEmpty())
        return m_printNote;
    return fromUtf8(statusWords(m_sheet));
}

void frmKQ71wb::showStatus()
{
    m_status->setMessage(statusText());
    m_readouts->setMessage(fromUtf8(readoutWords(m_sheet, !m_fault && !m_sheet.totalsStale)));
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

void frmKQ71wb::cmdLoading_Click(int Index)
{
    auto& c = m_controls;
    markLoading(-1);
    const auto k = static_cast<std::size_t>(Index);
    const QString wordsBefore = m_status->message();
    c.txtWeight[0]->setText(this->*kStoredWeight[k]);
    c.txtArm[0]->setText(this->*kStoredArm[k]);
    markLoading(Index);
    // New figures under the same words are said again; new words were said
    // as they changed, and once is enough.
    if (m_status->message() == wordsBefore)
        m_status->announce();
    // A press that never took the focus (an access key) leaves it in the
    // pilot's weight, where no focus event would come to select the text.
    if (c.txtWeight[1]->hasFocus())
        txtWeight_GotFocus(1);
    else
        c.txtWeight[1]->setFocus(Qt::OtherFocusReason);
}

void frmKQ71wb::renderSheet(QPainter& painter, QPoint at) const
{
    // A copy of the sheet, never focused or under the pointer, shows the
    // figures without a caret, focus frame or hover, so that two prints of the
    // same sheet are the same.
    QMainWindow copy;
    const window::WindowControls shown = window::buildWindow(copy);
    window::copyShownState(m_controls, shown);
    shown.client->render(&painter, at, QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

bool frmKQ71wb::paintClientArea(QPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scale = device.logicalDpiX() / 96.0;
    painter.scale(scale, scale);
    renderSheet(painter, QPoint());
    return painter.end();
}

LoadSheetHeading frmKQ71wb::printHeading() const
{
    const QString loading =
        m_markedLoading < 0 ? QString() : m_controls.cmdLoading[static_cast<std::size_t>(m_markedLoading)]->text().replace("&&", "&");
    return {QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm").toStdString(),
            (QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion()).toStdString(),
            loading.toStdString()};
}

QStringList frmKQ71wb::loadSheetLines(const LoadSheetHeading& heading) const
{
    const LoadSheetText text = loadSheetText(m_sheet, m_fault, heading);
    QStringList lines;
    for (const std::string& line : text.above)
        lines << fromUtf8(line);
    lines << QString();
    for (const std::string& line : text.below)
        lines << fromUtf8(line);
    return lines;
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

    const LoadSheetText text = loadSheetText(m_sheet, m_fault, heading);
    double y = page.top();
    const auto write = [&](const std::string& line, bool title) {
        QFont lineFont(QStringList{"Arial"});
        lineFont.setBold(title);
        lineFont.setPixelSize(title ? 19 : 13);
        painter.setFont(lineFont);
        const QRectF box(page.left(), y, page.width(), QFontMetricsF(lineFont).height() * 1.4);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, fromUtf8(line));
        y = box.bottom();
    };
    for (std::size_t i = 0; i < text.above.size(); ++i)
        write(text.above[i], i == 0);
    y += 12;
    renderSheet(painter, QPointF(page.left(), y).toPoint());
    y += m_controls.client->height() + 12;
    for (const std::string& line : text.below)
        write(line, false);
    return painter.end();
}

void frmKQ71wb::mnuPrint_Click()
{
    const LoadSheetHeading heading = printHeading();
    // The page is saved or printed beside the window, which stays responsive;
    // what became of it replaces "Saving…" once known.
    m_printNote = printPage(
        m_printTarget, [this, &heading](QPaintDevice& device) { return paintLoadSheet(device, heading); }, *this,
        [this](const QString& said) {
            m_printNote = said;
            showStatus();
        });
    showStatus();
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
