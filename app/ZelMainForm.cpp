// The form's widgets as they are laid out, their enabled states and the
// texts that follow the language.
#include "ZelMain.h"

#include "FileCommands.h"
#include "Images.h"
#include "SurveyCommands.h"

#include "document/Document.h"
#include "export/ExelCall.h"
#include "serial/QCCom32.h"
#include "survey/Exports.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

void TForm1::buildListAndStatusBar()
{
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ToolBar1);

    auto* panel = new QFrame(central);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    ListBox1 = new QListWidget(panel);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    // The table lines up only in a fixed-pitch font: Courier New, else the
    // first fixed-pitch family this system has, else its fixed font.
    QFont listFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"Courier New", "Consolas", "Lucida Console", "DejaVu Sans Mono", "Liberation Mono"}) {
        if (families.contains(QLatin1String(family), Qt::CaseInsensitive)) {
            listFont = QFont(QLatin1String(family));
            break;
        }
    }
    listFont.setStyleHint(QFont::TypeWriter);
    listFont.setFixedPitch(true);
    listFont.setPixelSize(13);
    ListBox1->setFont(listFont);
    // Every row takes the first row's size (a full memory lists 65,535 of
    // them): widenRows gives it the longest row's width, and a row wider
    // than the window scrolls sideways instead of being cut.
    ListBox1->setUniformItemSizes(true);
    ListBox1->setTextElideMode(Qt::ElideNone);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; padding: 0px; }"));
    panelLayout->addWidget(ListBox1);
    column->addWidget(panel, 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(19);
    setStatusBar(StatusBar1);
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setMaximumHeight(15);
    ProgressBar1->setFixedWidth(200);
    ProgressBar1->setTextVisible(false);
    StatusBar1->addPermanentWidget(ProgressBar1);
    ProgressBar1->hide();
    StopButton1 = new QToolButton(StatusBar1);
    StopButton1->setObjectName(QStringLiteral("StopButton1"));
    StopButton1->setMaximumHeight(17);
    StopButton1->setText(zel::texts::stopCommand());
    StatusBar1->addPermanentWidget(StopButton1);
    StopButton1->hide();
    connect(StopButton1, &QToolButton::clicked, m_station, &TStationCommands::stop);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (DialogueRunning())
            m_station->stop();
    });
    HelpLink1 = new QLabel(zel::texts::helpLink(), StatusBar1);
    HelpLink1->setObjectName(QStringLiteral("HelpLink1"));
    StatusBar1->addPermanentWidget(HelpLink1);
    HelpLink1->hide();
    connect(HelpLink1, &QLabel::linkActivated, this, [this] {
        if (m_station->hint())
            ShowHelpTopic(zel::texts::hintFor(*m_station->hint()).topic);
    });
}

int TForm1::rowWidth(const QString& row) const { return QFontMetrics(ListBox1->font()).horizontalAdvance(row) + 8; }

void TForm1::addRows(const QStringList& lines)
{
    if (lines.isEmpty())
        return;
    if (ListBox1->count() == 0)
        m_rowWidth = 0;
    // The longest rows by their characters are measured (the font is of
    // fixed pitch where the system has one), at most a few thousand of a
    // full memory's 65,535.
    constexpr qsizetype kMeasured = 2000;
    std::vector<const QString*> rows;
    rows.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        rows.push_back(&line);
    const auto measured = rows.begin() + std::min<qsizetype>(kMeasured, qsizetype(rows.size()));
    std::nth_element(rows.begin(), measured - 1, rows.end(), [](const QString* a, const QString* b) { return a->size() > b->size(); });
    const QFontMetrics metrics(ListBox1->font());
    const int before = m_rowWidth;
    for (auto row = rows.begin(); row != measured; ++row)
        m_rowWidth = std::max(m_rowWidth, metrics.horizontalAdvance(**row) + 8);
    ListBox1->addItems(lines);
    // The list takes the size of every row from its last row.
    ListBox1->item(ListBox1->count() - 1)->setSizeHint(QSize(m_rowWidth, 16));
    if (m_rowWidth > before && before > 0)
        ListBox1->doItemsLayout();  // the size of the rows is taken again
}

void TForm1::buildMenu()
{
    auto add = [this](QMenu* menu, const char* name, const QString& caption, auto&& handler) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    TFileCommands* files = m_files;
    TStationCommands* station = m_station;
    TSurveyCommands* survey = m_survey;
    // The captions' first letters are underlined: Alt+F, Alt+E, Alt+S, Alt+H.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Read1 = add(file, "Read1", QStringLiteral("Read Data"), [this] { ToolButton2Click(); });
    LoadFile1 = add(file, "LoadFile1", QStringLiteral("Load File *zel"), [this] { ToolButton1Click(); });
    SaveFile1 = add(file, "SaveFile1", QStringLiteral("Save File *zel"), [this] { ToolButton8Click(); });
    View1 = add(file, "View1", QStringLiteral("View"), [this] { ToolButton6Click(); });
    Save1 = add(file, "Save1", QStringLiteral("Save as text"), [this] { Save1Click(); });
    file->addSeparator();
    RecentReadings1 = file->addMenu(zel::texts::recentReadings());
    RecentReadings1->setObjectName(QStringLiteral("RecentReadings1"));
    connect(RecentReadings1, &QMenu::aboutToShow, this, [this] { m_files->fillRecentReadings(*RecentReadings1, kRecentReadings); });
    ReadingsFolder1 = add(file, "ReadingsFolder1", zel::texts::openReadingsFolder(), [files] { files->openReadingsFolder(); });
    QMenu* exel = menuBar()->addMenu(QStringLiteral("&Exel"));
    ZELSOLO1 = add(exel, "ZELSOLO1", QStringLiteral("ZEL-SOLO"), [this] { ToolButton5Click(); });
    TERRAVOX1 = add(exel, "TERRAVOX1", QStringLiteral("TERRAVOX"), [this] { ToolButton9Click(); });
    QMenu* menu = menuBar()->addMenu(QStringLiteral("S&urvey"));
    SurveyGeometry1 = add(menu, "SurveyGeometry1", zel::texts::surveyGeometryCommand(), [survey] { survey->editGeometry(); });
    menu->addSeparator();
    ExportCsv1 = add(menu, "ExportCsv1", QStringLiteral("Export CSV..."), [survey] { survey->exportSurvey(zel::SurveyFormat::Csv); });
    ExportRes2DInv1 = add(menu, "ExportRes2DInv1", QStringLiteral("Export Res2DInv..."),
                          [survey] { survey->exportSurvey(zel::SurveyFormat::Res2DInv); });
    ExportOhm1 = add(menu, "ExportOhm1", QStringLiteral("Export pyGIMLi/BERT..."), [survey] { survey->exportSurvey(zel::SurveyFormat::Ohm); });
    menu->addSeparator();
    ProfileGraph1 = add(menu, "ProfileGraph1", QStringLiteral("Profile graph"), [survey] { survey->showProfileGraph(); });
    Pseudosection1 = add(menu, "Pseudosection1", QStringLiteral("Pseudosection"), [survey] { survey->showPseudosection(); });
    Sounding1 = add(menu, "Sounding1", zel::texts::soundingCommand(), [survey] { survey->showSounding(); });
    menu->addSeparator();
    DataCheck1 = add(menu, "DataCheck1", zel::texts::dataCheckCommand(), [survey] { survey->showDataCheck(); });
    Invert1 = add(menu, "Invert1", zel::texts::invertCommand(), [survey] { survey->invert(); });
    AllLines1 = add(menu, "AllLines1", zel::texts::allLinesCommand(), [survey] { survey->invertAllLines(); });
    QMenu* service = menuBar()->addMenu(QStringLiteral("&Service"));
    EEPROM1 = add(service, "EEPROM1", QStringLiteral("EEPROM"), [this] { ToolButton12Click(); });
    Generator1 = add(service, "Generator1", QStringLiteral("Electrode table generator..."), [station] { station->showGenerator(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    Contens1 = add(help, "Contens1", QStringLiteral("Contents"), [this] { Contens1Click(); });
    help->addSeparator();
    About2 = add(help, "About2", QStringLiteral("About"), [this] { About2Click(); });
    // Each language is named in itself, so that a user who reads only one finds it.
    Language1 = help->addMenu(QStringLiteral("Language"));
    Language1->setObjectName(QStringLiteral("Language1"));
    m_languages = new QActionGroup(this);
    Russian1 = add(Language1, "Russian1", QStringLiteral("Русский"), [this] { SetLanguage(zel::texts::Language::Russian); });
    English1 = add(Language1, "English1", QStringLiteral("English"), [this] { SetLanguage(zel::texts::Language::English); });
    for (QAction* a : {Russian1, English1}) {
        a->setCheckable(true);
        m_languages->addAction(a);
    }
    Russian1->setChecked(true);
    LoadFile1->setShortcut(QKeySequence::Open);
    SaveFile1->setShortcut(QKeySequence::Save);
    Contens1->setShortcut(QKeySequence::HelpContents);
}

void TForm1::buildToolBar()
{
    ToolBar1 = new TToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(30);
    auto* row = new QHBoxLayout(ToolBar1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto button = [this, row](const char* name, const QString& hint, int image, void (TForm1::*handler)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setIcon(toolImage(image));
        b->setIconSize(QSize(16, 16));
        b->setAutoRaise(true);
        b->setFixedSize(28, 25);
        connect(b, &QToolButton::clicked, this, handler);
        row->addWidget(b);
        return b;
    };
    auto separator = [this, row](const char* name, int width) {
        auto* s = new QWidget(ToolBar1);
        s->setObjectName(QLatin1String(name));
        s->setFixedWidth(width);
        row->addWidget(s);
        return s;
    };
    auto combo = [this, row](const char* name, const QString& hint) {
        auto* c = new QComboBox(ToolBar1);
        c->setObjectName(QLatin1String(name));
        c->setToolTip(hint);
        c->setEditable(false);
        c->setFixedWidth(80);
        row->addWidget(c);
        return c;
    };

    ToolButton2 = button("ToolButton2", QStringLiteral("Read Data"), 0, &TForm1::ToolButton2Click);
    ToolButton1 = button("ToolButton1", QStringLiteral("Load File *zel"), 4, &TForm1::ToolButton1Click);
    ToolButton8 = button("ToolButton8", QStringLiteral("Save File *zel"), 7, &TForm1::ToolButton8Click);
    ToolButton4 = separator("ToolButton4", 16);
    ComboBox1 = combo("ComboBox1", QStringLiteral("Port"));
    ToolButton7 = separator("ToolButton7", 13);
    ComboBox2 = combo("ComboBox2", QStringLiteral("Speed"));
    ToolButton6 = button("ToolButton6", QStringLiteral("View"), 1, &TForm1::ToolButton6Click);
    ToolButton3 = button("ToolButton3", QStringLiteral("Save as text"), 5, &TForm1::Save1Click);
    ToolButton5 = button("ToolButton5", QStringLiteral("ZEL-SOLO"), 10, &TForm1::ToolButton5Click);
    ToolButton9 = button("ToolButton9", QStringLiteral("TERRAVOX"), 9, &TForm1::ToolButton9Click);
    ToolButton10 = button("ToolButton10", QStringLiteral("Save protocol"), 2, &TForm1::ToolButton10Click);
    ToolButton11 = separator("ToolButton11", 40);
    ToolButton12 = button("ToolButton12", QStringLiteral("Save To EEPROM"), 8, &TForm1::ToolButton12Click);
    row->addStretch(1);

    for (const int speed : kLineSpeeds)
        ComboBox2->addItem(QString::number(speed));
    ComboBox2->setCurrentIndex(-1);
    connect(ToolBar1, &TToolBar::mouseUp, this, &TForm1::ToolBar1MouseUp);
}

void TForm1::UpdateActions()
{
    const bool idle = !DialogueRunning();
    // The five data commands' buttons need decoded data; their menu items
    // stay usable whenever no dialogue runs.
    for (QToolButton* b : {ToolButton3, ToolButton5, ToolButton9, ToolButton6, ToolButton8})
        b->setEnabled(idle && m_document->decoded());
    // Without a free port at start the button and both lists stay disabled;
    // the menu item still tries.
    for (QWidget* w : std::initializer_list<QWidget*>{ToolButton2, ComboBox1, ComboBox2})
        w->setEnabled(idle && ComboBox1->count() > 0);
    for (QToolButton* b : {ToolButton1, ToolButton10, ToolButton12})
        b->setEnabled(idle);
    for (QAction* a : {Read1, LoadFile1, SaveFile1, View1, Save1, ZELSOLO1, TERRAVOX1, EEPROM1, Generator1})
        a->setEnabled(idle);
    RecentReadings1->setEnabled(idle);
    // The survey exports need decoded data.
    for (QAction* a : {ExportCsv1, ExportRes2DInv1, ExportOhm1, ProfileGraph1, Pseudosection1, Sounding1, DataCheck1, Invert1, AllLines1})
        a->setEnabled(idle && m_document->decoded());
}

void TForm1::RetranslateUi()
{
    for (int i = 0; i < ListBox1->count(); ++i) {
        QListWidgetItem* item = ListBox1->item(i);
        const QVariant line = item->data(Qt::UserRole);
        if (line.isValid())
            item->setText(zel::texts::lineText(line.value<zel::ReportLine>()));
    }
    RecentReadings1->setTitle(zel::texts::recentReadings());
    ReadingsFolder1->setText(zel::texts::openReadingsFolder());
    SurveyGeometry1->setText(zel::texts::surveyGeometryCommand());
    DataCheck1->setText(zel::texts::dataCheckCommand());
    Invert1->setText(zel::texts::invertCommand());
    AllLines1->setText(zel::texts::allLinesCommand());
    Sounding1->setText(zel::texts::soundingCommand());
    HelpLink1->setText(zel::texts::helpLink());
    StopButton1->setText(zel::texts::stopCommand());
    StopButton1->setToolTip(QStringLiteral("Esc"));
    const bool english = zel::texts::currentLanguage() == zel::texts::Language::English;
    (english ? English1 : Russian1)->setChecked(true);
    // A message in the other language goes; the hint of a failure stays, translated.
    StatusBar1->clearMessage();
    showHint();
}

void TForm1::ToolBar1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const bool shiftAlt = modifiers.testFlag(Qt::ShiftModifier) && modifiers.testFlag(Qt::AltModifier);
    if (button != Qt::LeftButton || !shiftAlt)
        return;
    ToolButton1->setVisible(!ToolButton1->isVisibleTo(ToolBar1));
    ToolButton8->setVisible(!ToolButton8->isVisibleTo(ToolBar1));
}
