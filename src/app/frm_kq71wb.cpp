#include "frm_kq71wb.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleFactory>

#include "loadings.h"

namespace kq71wb {
namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetCaption(QLabel& label, const std::string& caption)
{
    const QString text = FromUtf8(caption);
    if (label.text() != text)
        label.setText(text);
}

}  // namespace

frmKQ71wb::frmKQ71wb(std::vector<std::filesystem::path> loadingsFiles, QWidget* parent)
    : QMainWindow(parent), m_loadingsFiles(std::move(loadingsFiles))
{
    m_controls = window::BuildWindow(*this);
    // A line beneath the fixed layout for faults, printing and the verdict in words.
    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_status, 1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    WireEvents();
    Form_Load();
    m_controls.txtWeight[0]->setFocus();
}

void frmKQ71wb::WireEvents()
{
    const auto& c = m_controls;
    for (int i = 0; i < Sheet::kRowCount; ++i) {
        const auto row = static_cast<std::size_t>(i);
        connect(c.txtWeight[row], &QLineEdit::textChanged, this, [this, i] { txtWeight_Change(i); });
        connect(c.txtArm[row], &QLineEdit::textChanged, this, [this, i] { txtArm_Change(i); });
        c.txtWeight[row]->installEventFilter(this);
        c.txtArm[row]->installEventFilter(this);
    }
    for (QLineEdit* description : c.txtMisc)
        description->installEventFilter(this);
    for (int i = 0; i < static_cast<int>(c.cmdLoading.size()); ++i)
        connect(c.cmdLoading[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdLoading_Click(i); });
    connect(c.mnuPrint, &QAction::triggered, this, &frmKQ71wb::mnuPrint_Click);
    connect(c.mnuExit, &QAction::triggered, this, &frmKQ71wb::mnuExit_Click);
}

void frmKQ71wb::Form_Load()
{
    CentreOnScreen();

    auto& c = m_controls;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        c.txtWeight[i]->setText(QString());
        c.txtArm[i]->setText(QString());
        m_sheet.moment[i].clear();
        SetCaption(*c.lblMoment[i], m_sheet.moment[i]);
    }
    for (auto [caption, label] : {std::pair{&m_sheet.grossWeight, c.lblGrossWeight},
                                  std::pair{&m_sheet.grossMoment, c.lblGrossMoment},
                                  std::pair{&m_sheet.flyCg, c.lblFlyCG}}) {
        caption->clear();
        SetCaption(*label, *caption);
    }

    const Loadings loadings = ReadLoadings(m_loadingsFiles);
    for (std::size_t i = 0; i < kLoadingCount; ++i) {
        c.cmdLoading[i]->setText(FromUtf8(loadings[i].name));
        this->*kStoredWeight[i] = FromUtf8(loadings[i].weight);
        this->*kStoredArm[i] = FromUtf8(loadings[i].arm);
    }

    // The pilot sits 20 inches forward of the datum.
    c.txtArm[1]->setText("-20");
}

void frmKQ71wb::CentreOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    adjustSize();
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void frmKQ71wb::Calc()
{
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        m_sheet.weight[i] = m_controls.txtWeight[i]->text().toStdString();
        m_sheet.arm[i] = m_controls.txtArm[i]->text().toStdString();
    }
    m_fault = kq71wb::Calc(m_sheet);
    m_printNote.clear();
    ShowSheet();
}

void frmKQ71wb::ShowSheet()
{
    auto& c = m_controls;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
        SetCaption(*c.lblMoment[i], m_sheet.moment[i]);
    SetCaption(*c.lblGrossWeight, m_sheet.grossWeight);
    SetCaption(*c.lblGrossMoment, m_sheet.grossMoment);
    SetCaption(*c.lblFlyCG, m_sheet.flyCg);

    // Until the first weighed pass the results keep the colours they were laid out with.
    static constexpr OleColor kGrossWeightLayoutColor = window::LayoutOf("lblGrossWeight").backColor;
    static constexpr OleColor kFlyCgLayoutColor = window::LayoutOf("lblFlyCG").backColor;
    window::SetBackColor(*c.lblGrossWeight, m_sheet.grossWeightVerdict ? ColorOf(*m_sheet.grossWeightVerdict)
                                                                         : kGrossWeightLayoutColor);
    window::SetBackColor(*c.lblFlyCG, m_sheet.flyCgVerdict ? ColorOf(*m_sheet.flyCgVerdict) : kFlyCgLayoutColor);
    // A CG off the scale puts the thumb at the nearer end.
    if (m_sheet.sliderValue)
        c.Slider1->setValue(*m_sheet.sliderValue);
    ShowStatus();
}

QString frmKQ71wb::statusText() const
{
    if (m_fault)
        return FromUtf8(DescribeFault(*m_fault));
    if (!m_printNote.isEmpty())
        return m_printNote;
    return FromUtf8(VerdictWords(m_sheet));
}

void frmKQ71wb::ShowStatus()
{
    const QString text = statusText();
    if (m_status->text() != text)
        m_status->setText(text);
}

void frmKQ71wb::txtWeight_Change(int) { Calc(); }
void frmKQ71wb::txtArm_Change(int) { Calc(); }

void frmKQ71wb::txtWeight_GotFocus(int Index) { m_controls.txtWeight[static_cast<std::size_t>(Index)]->selectAll(); }
void frmKQ71wb::txtArm_GotFocus(int Index) { m_controls.txtArm[static_cast<std::size_t>(Index)]->selectAll(); }
void frmKQ71wb::txtMisc_GotFocus(int Index) { m_controls.txtMisc[static_cast<std::size_t>(Index)]->selectAll(); }

bool frmKQ71wb::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::FocusIn) {
        // The focus coming back with the window, or from a closed menu, was
        // never lost by the field: its caret stays where the user left it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QMainWindow::eventFilter(watched, event);
        // Let the field take the focus in its own way first, then select its
        // whole text, whatever brought the focus there.
        field->event(event);
        const auto& c = m_controls;
        for (int i = 0; i < Sheet::kRowCount; ++i) {
            if (field == c.txtWeight[static_cast<std::size_t>(i)])
                txtWeight_GotFocus(i);
            else if (field == c.txtArm[static_cast<std::size_t>(i)])
                txtArm_GotFocus(i);
        }
        for (int k = 0; k < static_cast<int>(c.txtMisc.size()); ++k)
            if (field == c.txtMisc[static_cast<std::size_t>(k)])
                txtMisc_GotFocus(k);
        // A click that brings the focus would put the caret where it landed
        // and undo the selection: that press is not passed on.
        m_focusedByMouse = reason == Qt::MouseFocusReason ? field : nullptr;
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && field == m_focusedByMouse) {
        m_focusedByMouse = nullptr;
        return true;
    }
    if (event->type() == QEvent::FocusOut && field == m_focusedByMouse)
        m_focusedByMouse = nullptr;
    return QMainWindow::eventFilter(watched, event);
}

void frmKQ71wb::cmdLoading_Click(int Index)
{
    auto& c = m_controls;
    for (QPushButton* button : c.cmdLoading)
        window::SetBackColor(*button, window::kButtonFace);
    const auto k = static_cast<std::size_t>(Index);
    c.txtWeight[0]->setText(this->*kStoredWeight[k]);
    c.txtArm[0]->setText(this->*kStoredArm[k]);
    window::SetBackColor(*c.cmdLoading[k], window::kLightYellow);
    // A press that never took the focus (an access key) leaves it in the
    // pilot's weight, where no focus event would come to select the text.
    if (c.txtWeight[1]->hasFocus())
        txtWeight_GotFocus(1);
    else
        c.txtWeight[1]->setFocus(Qt::OtherFocusReason);
}

bool frmKQ71wb::PaintClientArea(QPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scale = device.logicalDpiX() / 96.0;
    painter.scale(scale, scale);
    m_controls.client->render(&painter, QPoint(), QRegion(),
                              QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return painter.end();
}

void frmKQ71wb::mnuPrint_Click()
{
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        m_printNote = PrintToDocumentsFolder();
    } else {
        QPrinter printer(printerInfo, QPrinter::HighResolution);
        printer.setDocName("KQ71WB");
        m_printNote = PaintClientArea(printer)
                          ? QString("Printed on %1.").arg(printerInfo.printerName())
                          : QString("Printing on %1 failed; nothing was printed.").arg(printerInfo.printerName());
    }
    ShowStatus();
}

QString frmKQ71wb::PrintToDocumentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return "No printer is installed, and there is no documents folder to save the page in.";
    const QString stem = "KQ71WB-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString path = QDir(folder).filePath(stem + ".pdf");
    for (int n = 2; QFile::exists(path); ++n)
        path = QDir(folder).filePath(QString("%1-%2.pdf").arg(stem).arg(n));

    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle("KQ 71 Weight and Balance");
    writer.setCreator(QString("KQ71WB %1").arg(QCoreApplication::applicationVersion()));
    if (!PaintClientArea(writer)) {
        QFile::remove(path);
        return QString("No printer is installed, and the page could not be saved as %1.").arg(path);
    }
    // Shown from the home folder, so that the name fits the status line.
    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (shown.startsWith(home + QDir::separator()))
        shown.replace(0, home.size(), "~");
    return QString("No printer is installed: the page was saved as %1.").arg(shown);
}

void frmKQ71wb::mnuExit_Click() { close(); }

void ConfigureApplication()
{
    QCoreApplication::setApplicationName("KQ71WB");
    QCoreApplication::setApplicationVersion("1.00");
    qApp->setProperty("applicationDescription", QString(kDescription));
    QGuiApplication::setDesktopFileName("kq71wb");
    // One style everywhere, so that the loading buttons show their colour.
    if (QStyle* style = QStyleFactory::create("Fusion"))
        QApplication::setStyle(style);
}

std::vector<std::filesystem::path> DefaultLoadingsFiles()
{
    const QByteArray programDirectory = QFile::encodeName(QCoreApplication::applicationDirPath());
    return LoadingsFileCandidates(programDirectory.toStdString(), qgetenv("XDG_CONFIG_HOME").toStdString(),
                                  qgetenv("HOME").toStdString());
}

}  // namespace kq71wb
