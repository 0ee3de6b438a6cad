// Saves the same page a number of times in a folder, as fast as it can,
// through the program's own save, and says what became of each, one a line:
// two of these started at once race for the same names.
//   save_pages <folder> <count>
#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

#include "print_target.h"

int main(int argc, char* argv[])
{
    if (argc != 3)
        return EXIT_FAILURE;
    kq71wb::SystemPrintTarget target;
    const QByteArray page = "%PDF-1.4\n" + QByteArray(30000, 'x') + "\n%%EOF\n";
    for (int i = std::atoi(argv[2]); i > 0; --i)
        std::puts(qPrintable(kq71wb::savePage(target, QString::fromLocal8Bit(argv[1]), page)));
    return EXIT_SUCCESS;
}
