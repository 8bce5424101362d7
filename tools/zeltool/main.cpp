#include "Commands.h"

#include "data/Cp1251.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (!zel::cp1251Available()) {
        std::fputs("zeltool: the Windows-1251 text codec is missing: install Qt's Core5Compat.\n", stderr);
        return 1;
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zeltool::run(args, stdout, stderr);
}
