#include "Images.h"
#include "ZelMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zel-terravox"));
    QApplication::setApplicationVersion(QStringLiteral("2-1.10"));
    QApplication::setWindowIcon(emblemIcon());
    TForm1 form;
    form.show();
    return app.exec();
}
