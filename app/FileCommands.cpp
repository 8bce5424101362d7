// The window's commands on data files: loading and saving them, the table as
// text or a workbook, and the readings kept from the station.
#include "FileCommands.h"

#include "CommandHost.h"

#include "data/DataFile.h"
#include "data/ReadingArchive.h"
#include "data/TextTable.h"
#include "document/Document.h"
#include "export/ExelCall.h"
#include "export/XlsxWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>

TFileCommands::TFileCommands(TCommandHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    m_saveDialog.save = true;
    m_workbookDialog.save = true;
    m_saveDialog.options.initialDir = QDir::currentPath();
    m_openDialog.options.initialDir = QDir::currentPath();
}

void TFileCommands::load()
{
    if (m_host.refuseDuringDialogue())
        return;
    m_openDialog.options.filter = tr("Файл ZEL-TERRAVOX (*.zel)|*.zel");
    m_openDialog.options.defaultExt = QStringLiteral("zel");
    if (!m_openDialog.Execute(m_host.dialogs(), m_host.dialogParent()))
        return;
    loadFile(m_openDialog.FileName());
}

void TFileCommands::openDataFile(const QString& path)
{
    if (m_host.refuseDuringDialogue())
        return;
    m_openDialog.FileName() = path;
    loadFile(path);
}

void TFileCommands::loadFile(const QString& path)
{
    m_host.guarded([&] {
        // A file that cannot be read leaves the current data as it is.
        QByteArray bytes = zel::readWholeFile(path);
        m_host.clearList();
        if (!m_host.showDecoding(m_host.document().load(std::move(bytes), path), path))
            return;
        m_host.showStatus(zel::texts::fileLoaded(QDir::toNativeSeparators(path), m_host.document().reading().count));
    });
}

bool TFileCommands::askSaveName(const QString& filter, const QString& defaultExt)
{
    m_saveDialog.options.overwritePrompt = true;
    m_saveDialog.options.filter = filter;
    m_saveDialog.options.defaultExt = defaultExt;
    // The name chosen last is offered with this extension: Enter can never
    // replace a .zel file with a table.
    m_saveDialog.suggestExtension();
    return m_saveDialog.Execute(m_host.dialogs(), m_host.dialogParent());
}

void TFileCommands::saveData()
{
    if (m_host.refuseDuringDialogue())
        return;
    if (!askSaveName(tr("Файл ZEL-TERRAVOX_New (*.zel)|*.zel"), QStringLiteral("zel")))
        return;
    m_host.guarded([this] {
        zel::writeWholeFile(m_saveDialog.FileName(), m_host.document().reading().rawDump);
        m_host.document().savedAs(m_saveDialog.FileName());
    });
}

void TFileCommands::view()
{
    if (m_host.refuseDuringDialogue())
        return;
    zel::Document& doc = m_host.document();
    m_host.guarded([&] {
        QStringList lines;
        QString error;
        try {
            doc.setCountAndHeader(doc.reading().count, zel::readHeaderFields(doc.reading().decoded));
            zel::appendViewLines(doc.reading().decoded, doc.reading().count, zel::DateTimeSeparators::of(QLocale()), lines);
        } catch (const zel::ZelError& e) {
            error = zel::texts::errorText(e);
        }
        if (!lines.isEmpty()) {
            m_host.clearList();
            m_host.addLines(lines);
        }
        if (!error.isEmpty())
            m_host.showError(error);
    });
}

void TFileCommands::saveText()
{
    if (m_host.refuseDuringDialogue())
        return;
    if (!askSaveName(tr("Текстовый файл (*.txt)|*.txt"), QStringLiteral("txt")))
        return;
    m_host.guarded([this] {
        // The table is made first: without decoded data no file is created.
        const zel::Reading& data = m_host.document().reading();
        const QByteArray bytes = zel::textFileBytes(data.decoded, data.count, zel::DateTimeSeparators::of(QLocale()));
        zel::writeWholeFile(m_saveDialog.FileName(), bytes);
    });
}

void TFileCommands::workbook(int layout)
{
    if (m_host.refuseDuringDialogue())
        return;
    zel::Document& doc = m_host.document();
    UserDialogs& dialogs = m_host.dialogs();
    m_host.guarded([&] {
        // Without decoded data the export ends here, before any file is made.
        zel::readHeaderFields(doc.reading().decoded);
        const QString prefix = layout == zel::kTerravoxLayout ? QStringLiteral("TERRAVOX") : QStringLiteral("ZEL-SOLO");
        m_workbookDialog.offerNew(tr("Книга Excel (*.xlsx)|*.xlsx"), QStringLiteral("xlsx"), doc.offeredName(prefix, "xlsx"));
        if (!m_workbookDialog.Execute(dialogs, m_host.dialogParent()))
            return;
        const zel::SheetExport exported = zel::ExelCall(layout, doc.reading().decoded, QLocale());
        doc.setCountAndHeader(exported.count, exported.headers);
        const QString book = m_workbookDialog.FileName();
        zel::writeXlsx(exported.sheet, book);
        // Without a spreadsheet application the workbook is there all the same: say where.
        if (!dialogs.openDocument(book)
            && dialogs.askWithButton(m_host.dialogParent(), MessageKind::Information, kApplicationTitle,
                                     zel::texts::workbookNotOpened(QDir::toNativeSeparators(book)), zel::texts::openFolder()))
            dialogs.openDocument(QFileInfo(book).absolutePath());
        if (exported.error)
            m_host.showError(zel::texts::errorText(*exported.error));
    });
}

void TFileCommands::openReadingsFolder()
{
    const QString folder = m_host.readings().folder();
    QDir().mkpath(folder);
    if (!m_host.dialogs().openDocument(folder))
        m_host.dialogs().showMessage(m_host.dialogParent(), MessageKind::Information, kApplicationTitle,
                                     zel::texts::folderNotOpened(QDir::toNativeSeparators(folder)));
}

void TFileCommands::fillRecentReadings(QMenu& menu, int count)
{
    menu.clear();
    const QStringList recent = m_host.readings().recent(count);
    for (const QString& path : recent)
        connect(menu.addAction(QFileInfo(path).fileName()), &QAction::triggered, this, [this, path] { openDataFile(path); });
    if (recent.isEmpty())
        menu.addAction(zel::texts::noReadingsYet())->setEnabled(false);
}
