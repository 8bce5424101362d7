#include "Ab.h"

#include <algorithm>

#include "Images.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(345, 272);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // A raised inner and a lowered outer bevel.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 333, 221);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(1);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 85, 81);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(emblem());

    ProductName = new QLabel(QStringLiteral("ZEL-TERRAVOX"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->move(161, 8);
    ProductName->adjustSize();

    Version = new QLabel(QStringLiteral("Version " ZEL_VERSION_TEXT), Panel1);
    Version->setObjectName(QStringLiteral("Version"));
    Version->move(168, 24);
    Version->adjustSize();

    Copyright = new QLabel(Panel1);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->setGeometry(120, 48, 181, 104);
    Copyright->setWordWrap(true);
    Copyright->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Comments = new QLabel(Panel1);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setGeometry(81, 176, 153, 39);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignCenter);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(139, 236, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    retranslate();
}

void TAboutBox::retranslate()
{
    // Where the documents lie: beside the program on Windows, in the
    // system's documentation folder elsewhere.
#if defined(Q_OS_WIN)
    const QString documents = tr("Документы: README.txt");
#else
    const QString documents = tr("Документы: /usr/share/doc");
#endif
    Copyright->setText(tr("Программа станции\n"
                          "ZEL-TERRAVOX для ПК\n"
                          "Данные: чтение, вывод\n"
                          "Электроды и прошивка\n"
                          "Лицензия: GPL-3.0+\n"
                          "Справка: Help, Contents\n"
                          "%1\n"
                          "Командная строка: zeltool").arg(documents));
    Comments->setText(tr("Визуализация данных электроразведочной станции ZEL-TERRAVOX"));
    // The licences in detail, where the box has no room for them.
    Copyright->setToolTip(tr("ZEL-TERRAVOX — свободная программа под GNU GPL версии 3 или новее (файл LICENSE).\n"
                             "Библиотеки: Qt 6 — LGPL-3.0; QCustomPlot — GPL-3.0 или новее; libxlsxwriter — BSD-2-Clause;\n"
                             "Eigen — MPL-2.0; CHOLMOD — GPL-2.0 или новее; METIS — Apache-2.0; OpenBLAS — BSD-3-Clause;\n"
                             "zlib — лицензия zlib. Подробно: THIRD-PARTY.txt."));
    // Every line of the text shows whole, whatever the system's fonts: the
    // box grows down towards the comment (to 128 pixels), then the text
    // takes a smaller font.
    QFont font = Panel1->font();
    Copyright->setFont(font);
    while (Copyright->heightForWidth(Copyright->width()) > 128 && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        Copyright->setFont(font);
    }
    Copyright->resize(Copyright->width(), std::clamp(Copyright->heightForWidth(Copyright->width()), 104, 128));
}

void TAboutBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}
