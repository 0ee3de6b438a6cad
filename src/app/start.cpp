#include "start.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>

#include "loadings.h"
#include "version.h"

namespace kq71wb {

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
