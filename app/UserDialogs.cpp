#include "UserDialogs.h"

#include "texts/Texts.h"
#include "data/ZelError.h"

#include "SurveyDialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QMimeDatabase>
#include <QProcess>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts.at(i);
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'));
        // "*.*" means every file, also one without a dot in its name.
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        filters << (text.contains(QLatin1Char('(')) ? text : QStringLiteral("%1 (%2)").arg(text, patterns.join(QLatin1Char(' '))));
    }
    return filters;
}

namespace {

QString runFileDialog(QWidget* parent, const FileDialogOptions& o, bool save)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The program lets the user name any file and reports a failure to open it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(o.filter));
    dialog.setDefaultSuffix(o.defaultExt);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !o.overwritePrompt);
    // The desktop's own dialog speaks the desktop's language: under English
    // on another desktop, Qt's dialog speaks English with the rest.
    dialog.setOption(QFileDialog::DontUseNativeDialog, zel::texts::currentLanguage() == zel::texts::Language::English
                                                           && QLocale::system().language() != QLocale::English);
    QString dir = o.initialDir;
    if (!o.fileName.isEmpty())
        dir = QFileInfo(o.fileName).absolutePath();
    if (!dir.isEmpty())
        dialog.setDirectory(dir);
    if (!o.fileName.isEmpty())
        dialog.selectFile(QFileInfo(o.fileName).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Question: return QMessageBox::Question;
    case MessageKind::Plain: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString QtUserDialogs::openFileName(QWidget* parent, const FileDialogOptions& options)
{
    return runFileDialog(parent, options, false);
}

QString QtUserDialogs::saveFileName(QWidget* parent, const FileDialogOptions& options)
{
    return runFileDialog(parent, options, true);
}

void QtUserDialogs::showMessage(QWidget* parent, MessageKind kind, const QString& caption, const QString& text)
{
    QMessageBox box(iconOf(kind), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtUserDialogs::askYesNo(QWidget* parent, MessageKind kind, const QString& caption, const QString& text)
{
    // A lone CR breaks the line, as the system's message boxes show it.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(iconOf(kind), caption, shown, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

bool QtUserDialogs::askRetry(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Abort | QMessageBox::Retry, parent);
    // Escape gives up: a box that kept coming back would trap the user.
    box.setEscapeButton(QMessageBox::Abort);
    return box.exec() != QMessageBox::Abort;
}

bool QtUserDialogs::askWithButton(QWidget* parent, MessageKind kind, const QString& caption, const QString& text,
                                  const QString& button)
{
    QMessageBox box(iconOf(kind), caption, text, QMessageBox::Ok, parent);
    QPushButton* extra = box.addButton(button, QMessageBox::ActionRole);
    box.exec();
    return box.clickedButton() == extra;
}

std::optional<zel::SurveyGeometry> QtUserDialogs::editSurveyGeometry(QWidget* parent, const SurveyDialogInput& input)
{
    TSurveyDialog dialog(input, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.geometry();
}

std::optional<PictureSize> QtUserDialogs::askPictureSize(QWidget* parent, const PictureSize& offered)
{
    auto says = [](const char* text) { return QCoreApplication::translate("TPictureDialog", text); };
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PictureDialog"));
    dialog.setWindowTitle(says(QT_TRANSLATE_NOOP("TPictureDialog", "Размер рисунка")));
    auto field = [&](int value, int low, int high, const QString& suffix) {
        auto* edit = new QSpinBox(&dialog);
        edit->setLocale(zel::texts::numberLocale());
        edit->setRange(low, high);
        edit->setValue(std::clamp(value, low, high));
        edit->setSuffix(suffix);
        return edit;
    };
    const QString pixels = says(QT_TRANSLATE_NOOP("TPictureDialog", " пикс."));
    QSpinBox* width = field(offered.width, zel::kLeastSheetSide, zel::kLargestSheetSide, pixels);
    QSpinBox* height = field(offered.height, zel::kLeastSheetSide, zel::kLargestSheetSide, pixels);
    QSpinBox* dpi = field(offered.dpi, zel::kLeastSheetDpi, zel::kLargestSheetDpi, says(QT_TRANSLATE_NOOP("TPictureDialog", " точек/дюйм")));
    auto* form = new QFormLayout(&dialog);
    form->addRow(says(QT_TRANSLATE_NOOP("TPictureDialog", "Ширина:")), width);
    form->addRow(says(QT_TRANSLATE_NOOP("TPictureDialog", "Высота:")), height);
    form->addRow(says(QT_TRANSLATE_NOOP("TPictureDialog", "Разрешение:")), dpi);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    // A size the sheet's texts do not fit is said, and the dialog stays.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const QString problem = zel::sheetSizeProblem({width->value(), height->value(), dpi->value()});
        if (problem.isEmpty())
            dialog.accept();
        else
            QMessageBox::warning(&dialog, dialog.windowTitle(), zel::withFullStop(problem.left(1).toUpper() + problem.mid(1)));
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PictureSize{width->value(), height->value(), dpi->value()};
}

std::optional<InversionChoice> QtUserDialogs::askInversion(QWidget* parent, const InversionChoice& choice,
                                                          const std::vector<zel::Profile>& profiles,
                                                          const std::vector<int>& frequencies)
{
    TInversionDialog dialog(choice, profiles, parent, frequencies);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<zel::SpacingSheets> QtUserDialogs::editSpacings(QWidget* parent, const zel::SpacingSheets& sheets)
{
    auto says = [](const char* text) { return QCoreApplication::translate("TSpacingsDialog", text); };
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SpacingsDialog"));
    dialog.setWindowTitle(says(QT_TRANSLATE_NOOP("TSpacingsDialog", "Лист разносов")));
    auto* hint = new QLabel(says(QT_TRANSLATE_NOOP("TSpacingsDialog",
                                                   "Строка на станцию: номер станции, AB/2 и MN/2 в метрах. Строки до "
                                                   "первого раздела — лист всех профилей; раздел [Line 3 File 1] — лист "
                                                   "своего профиля, Centre= — его центр на линии, м.")),
                            &dialog);
    hint->setWordWrap(true);
    auto* text = new QPlainTextEdit(QString::fromUtf8(zel::spacingsText(sheets)), &dialog);
    text->setObjectName(QStringLiteral("SpacingsText"));
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    std::optional<zel::SpacingSheets> chosen;
    // A row that cannot be used is said, and the dialog stays.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        try {
            chosen = zel::parseSpacings(text->toPlainText().toUtf8(), dialog.windowTitle());
            dialog.accept();
        } catch (const zel::ZelError& e) {
            QMessageBox::warning(&dialog, dialog.windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
        }
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(hint);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    dialog.resize(480, 520);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen;
}

namespace {

// Whether the desktop has an application for the file or folder. On Linux
// the desktop's opener starts whether or not anything will open the file,
// so xdg-mime is asked for the application of its type; none when it cannot
// be asked (the opener then decides). Windows says so itself.
std::optional<bool> desktopHasApplication(const QString& path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return std::nullopt;
#else
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForStarted(2000))
        return std::nullopt;
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}

} // namespace

bool QtUserDialogs::openDocument(const QString& path)
{
    if (desktopHasApplication(path) == false)
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

FileDialogOptions newFileOptions(const QString& filter, const QString& defaultExt, const QString& path)
{
    FileDialogOptions o;
    o.filter = filter;
    o.defaultExt = defaultExt;
    o.fileName = path;
    o.overwritePrompt = true;
    return o;
}

void TFileDialog::offerNew(const QString& filter, const QString& defaultExt, const QString& name)
{
    const QString dir = options.fileName.isEmpty() ? QDir::currentPath() : QFileInfo(options.fileName).absolutePath();
    options = newFileOptions(filter, defaultExt, QDir(dir).filePath(name));
}

void TFileDialog::suggestExtension()
{
    if (options.fileName.isEmpty() || options.defaultExt.isEmpty())
        return;
    const QFileInfo name(options.fileName);
    options.fileName = name.dir().filePath(name.completeBaseName() + QLatin1Char('.') + options.defaultExt);
}

bool TFileDialog::Execute(UserDialogs& dialogs, QWidget* parent)
{
    const QString chosen = save ? dialogs.saveFileName(parent, options) : dialogs.openFileName(parent, options);
    if (chosen.isEmpty())
        return false;
    options.fileName = chosen;
    return true;
}
