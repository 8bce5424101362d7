#pragma once

#include "texts/Texts.h"
#include "data/ZelError.h"

#include <QString>

#include <exception>

class QSettings;
class QWidget;
class UserDialogs;

namespace zel {
class Document;
struct DumpDecoding;
class ReadingArchive;
struct ReportLine;
}

using zel::texts::kApplicationTitle;

// What the window's command groups (files, station, survey) use of the
// window: its dialogs, the current reading, the settings, and the list and
// status bar where a command's results show.
class TCommandHost {
public:
    virtual ~TCommandHost() = default;

    virtual QWidget* dialogParent() = 0;
    virtual UserDialogs& dialogs() = 0;
    virtual zel::Document& document() = 0;
    // The settings file of the folder the program started in (the port).
    virtual QSettings& settings() = 0;
    // The user's own settings (the survey's defaults, the inversion's options).
    virtual QSettings& userSettings() = 0;
    // Where every reading is kept.
    virtual zel::ReadingArchive& readings() = 0;

    virtual void clearList() = 0;
    virtual void addLines(const QStringList& lines) = 0;
    // A line the core reports, shown in the current language.
    virtual void addReportLine(const zel::ReportLine& line) = 0;
    // Lists what decoding gave and says its error; true when decoded whole.
    // `source` names the file the data came from.
    virtual bool showDecoding(const zel::DumpDecoding& decoding, const QString& source = {}) = 0;
    virtual void showStatus(const QString& text, int timeoutMs = 0) = 0;
    // An error that a command does not handle itself.
    virtual void showError(const QString& text) = 0;
    // Refuses a command while a dialogue runs, and a station command
    // (`station`) while an inversion runs too; true when refused (and said).
    virtual bool refuseDuringDialogue(bool station = false) = 0;
    // Writes the settings file now; says once a run when it cannot.
    virtual void saveSettings() = 0;

    // Runs a command; an error it does not handle itself is shown.
    template <class F>
    void guarded(F&& command)
    {
        try {
            command();
        } catch (const zel::ZelError& e) {
            showError(zel::texts::errorText(e));
        } catch (const std::exception& e) {
            showError(QString::fromLocal8Bit(e.what()));
        }
    }
};
