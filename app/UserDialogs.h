#pragma once

#include "InversionDialog.h"
#include "SurveyDialog.h"
#include "plots/Sheet.h"
#include "survey/Geometry.h"
#include "survey/Spacings.h"

#include <QString>

#include <optional>

class QWidget;

// What a file dialog is asked to do: a filter in the form "Text|*.ext|...",
// the extension added to a name typed without one, the start directory, the
// name offered, and whether to ask before overwriting.
struct FileDialogOptions {
    QString filter;
    QString defaultExt;
    QString initialDir;
    QString fileName;
    bool overwritePrompt = false;
};

// A new file to write: `filter`, its default extension, `path` offered, an
// existing file only after the overwrite question.
FileDialogOptions newFileOptions(const QString& filter, const QString& defaultExt, const QString& path);
// Pictures of a plot.
inline const QString kPictureFilter = QStringLiteral("PNG (*.png)|*.png|PDF (*.pdf)|*.pdf");

// A picture's size, pixels, and its resolution, dots per inch.
using PictureSize = zel::SheetSize;

enum class MessageKind { Plain, Information, Warning, Error, Question };

// The window's modal dialogs behind one small interface, so that tests can
// answer them. The program uses QtUserDialogs.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // The chosen file, or an empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual void showMessage(QWidget* parent, MessageKind kind, const QString& caption, const QString& text) = 0;
    // Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, MessageKind kind, const QString& caption, const QString& text) = 0;
    // A warning with Abort and Retry; true for Retry (Escape counts as Abort).
    virtual bool askRetry(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A message with OK and one more button; true when that button was chosen.
    virtual bool askWithButton(QWidget* parent, MessageKind kind, const QString& caption, const QString& text,
                               const QString& button) = 0;
    // Opens a file or folder in the desktop's application for it; false when
    // there is none.
    virtual bool openDocument(const QString& path) = 0;
    // "Survey geometry...": the geometry the user chose (the default with
    // the lines' own), or none for Cancel.
    virtual std::optional<zel::SurveyGeometry> editSurveyGeometry(QWidget* parent, const SurveyDialogInput& input) = 0;
    // "Invert...": the options the user chose for one of `profiles`, or none for Cancel.
    // The size of a picture about to be written; none: cancelled.
    virtual std::optional<PictureSize> askPictureSize(QWidget* parent, const PictureSize& offered) = 0;
    // `frequencies` (FreqIndex) the reading holds: a choice among them when more than one.
    virtual std::optional<InversionChoice> askInversion(QWidget* parent, const InversionChoice& choice,
                                                        const std::vector<zel::Profile>& profiles,
                                                        const std::vector<int>& frequencies = {}) = 0;
    // "Spacing sheet...": the sheets as the user left them (each row
    // checked), or none for Cancel.
    virtual std::optional<zel::SpacingSheets> editSpacings(QWidget* parent, const zel::SpacingSheets& sheets) = 0;
};

class QtUserDialogs : public UserDialogs {
public:
    QString openFileName(QWidget* parent, const FileDialogOptions& options) override;
    QString saveFileName(QWidget* parent, const FileDialogOptions& options) override;
    void showMessage(QWidget* parent, MessageKind kind, const QString& caption, const QString& text) override;
    bool askYesNo(QWidget* parent, MessageKind kind, const QString& caption, const QString& text) override;
    bool askRetry(QWidget* parent, const QString& caption, const QString& text) override;
    bool askWithButton(QWidget* parent, MessageKind kind, const QString& caption, const QString& text,
                       const QString& button) override;
    bool openDocument(const QString& path) override;
    std::optional<zel::SurveyGeometry> editSurveyGeometry(QWidget* parent, const SurveyDialogInput& input) override;
    std::optional<PictureSize> askPictureSize(QWidget* parent, const PictureSize& offered) override;
    std::optional<InversionChoice> askInversion(QWidget* parent, const InversionChoice& choice,
                                                const std::vector<zel::Profile>& profiles,
                                                const std::vector<int>& frequencies = {}) override;
    std::optional<zel::SpacingSheets> editSpacings(QWidget* parent, const zel::SpacingSheets& sheets) override;
};

// "Text (*.ext)|*.ext|All|*.*" as name filters of a Qt file dialog.
QStringList qtNameFilters(const QString& filter);

// A file dialog of the window, named and kept like its other controls: it
// remembers its settings and the name chosen last.
class TFileDialog {
public:
    FileDialogOptions options;
    bool save = false;

    QString& FileName() { return options.fileName; }
    // Offers the name chosen last with the default extension in place of its own.
    void suggestExtension();
    // Asks next for a new file as newFileOptions does, `name` offered in the
    // folder chosen last (the current one before any).
    void offerNew(const QString& filter, const QString& defaultExt, const QString& name);
    // Shows the dialog; true and FileName() set when the user chose a file.
    bool Execute(UserDialogs& dialogs, QWidget* parent);
};
