#pragma once

#include "UserDialogs.h"

#include <QObject>

class TCommandHost;

// The window's commands on data files: Load File, Save File, View, Save as
// text, the workbooks, the kept readings and their folder.
class QMenu;

class TFileCommands : public QObject {
    Q_OBJECT
public:
    explicit TFileCommands(TCommandHost& host, QObject* parent = nullptr);

    void load();      // Load File: asks for a .zel file
    void saveData();  // Save File
    void view();      // View: the records as a table in the list
    void saveText();  // Save as text
    // Writes the records of one layout (0 ZEL-SOLO, 1 TERRAVOX) into a
    // workbook and opens it.
    void workbook(int layout);
    // Loads a data file as Load File does, without asking for it: a kept
    // reading, or a file named on the command line (a .zel file opened from
    // the desktop).
    void openDataFile(const QString& path);
    void openReadingsFolder();
    // The last `count` kept readings as the items of `menu`, newest first;
    // each opens its reading.
    void fillRecentReadings(QMenu& menu, int count);

private:
    void loadFile(const QString& path);
    // Asks where a data file or a text table goes; true when the user chose.
    bool askSaveName(const QString& filter, const QString& defaultExt);

    TCommandHost& m_host;
    TFileDialog m_openDialog;      // a data file to load
    TFileDialog m_saveDialog;      // a data file or text table to write
    TFileDialog m_workbookDialog;  // where a workbook goes
};
