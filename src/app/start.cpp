#include "start.h"

#include <QApplication>
#include <QDir>
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

std::filesystem::path sampleLoadingsFolder()
{
    const std::filesystem::path folder =
        std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()) / ".." / "share" /
        "doc" / "kq71wb";
    std::error_code error;
    if (!std::filesystem::is_regular_file(folder / "kq71wb.dat", error))
        return {};
    return std::filesystem::weakly_canonical(folder, error);
}

QString shownFromHome(const QString& path)
{
    const QString home = QDir::homePath();
    return path.startsWith(home + '/') ? "~" + path.mid(home.size()) : path;
}

}  // namespace kq71wb
