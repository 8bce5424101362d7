#pragma once

#include "app/UserDialogs.h"

#include <QList>
#include <QStringList>

// Answers the window's dialogs from scripted answers and records what was shown.
class FakeDialogs : public UserDialogs {
public:
    struct Shown {
        MessageKind kind;
        QString caption;
        QString text;
    };

    QStringList fileAnswers;        // taken in order; empty text = cancel
    QList<bool> yesNoAnswers;       // taken in order; No when none is left
    QList<bool> retryAnswers;       // taken in order; Abort when none is left
    QList<Shown> messages;
    QList<FileDialogOptions> fileDialogs;
    QList<bool> fileDialogSaves;    // for each file dialog: a save dialog (true) or an open one
    QStringList openedDocuments;
    bool documentsOpen = true;      // whether the desktop has an application for what is opened
    QList<bool> buttonAnswers;      // the extra button chosen; OK when none is left
    QList<zel::SurveyGeometry> geometryAnswers;  // Cancel when none is left
    QList<zel::SpacingSheets> spacingAnswers;    // Cancel when none is left
    zel::SpacingSheets shownSpacings;
    zel::SurveyGeometry shownGeometry;
    QString shownGeometryProblem;
    std::vector<zel::Profile> shownProfiles;
    std::optional<InversionChoice> shownInversion;
    QList<InversionChoice> inversionAnswers;  // each Invert... takes the first
    std::optional<PictureSize> pictureSize;   // the size a picture is asked for; none: the one offered

    QString openFileName(QWidget*, const FileDialogOptions& o) override { return nextFile(o, false); }
    QString saveFileName(QWidget*, const FileDialogOptions& o) override { return nextFile(o, true); }
    void showMessage(QWidget*, MessageKind kind, const QString& caption, const QString& text) override
    {
        messages.append({kind, caption, text});
    }
    bool askYesNo(QWidget*, MessageKind kind, const QString& caption, const QString& text) override
    {
        messages.append({kind, caption, text});
        return yesNoAnswers.isEmpty() ? false : yesNoAnswers.takeFirst();
    }

    bool askRetry(QWidget*, const QString& caption, const QString& text) override
    {
        messages.append({MessageKind::Warning, caption, text});
        return retryAnswers.isEmpty() ? false : retryAnswers.takeFirst();
    }

    bool askWithButton(QWidget*, MessageKind kind, const QString& caption, const QString& text, const QString&) override
    {
        messages.append({kind, caption, text});
        return buttonAnswers.isEmpty() ? false : buttonAnswers.takeFirst();
    }

    std::optional<zel::SurveyGeometry> editSurveyGeometry(QWidget*, const SurveyDialogInput& input) override
    {
        shownGeometry = input.geometry;
        shownGeometryProblem = input.problem;
        shownProfiles = input.profiles;
        return geometryAnswers.isEmpty() ? std::nullopt : std::optional(geometryAnswers.takeFirst());
    }

    std::optional<zel::SpacingSheets> editSpacings(QWidget*, const zel::SpacingSheets& sheets) override
    {
        shownSpacings = sheets;
        return spacingAnswers.isEmpty() ? std::nullopt : std::optional(spacingAnswers.takeFirst());
    }

    std::optional<PictureSize> askPictureSize(QWidget*, const PictureSize& offered) override
    {
        return pictureSize ? pictureSize : std::optional(offered);
    }
    std::optional<InversionChoice> askInversion(QWidget*, const InversionChoice& choice,
                                                const std::vector<zel::Profile>& profiles,
                                                const std::vector<int>& = {}) override
    {
        shownInversion = choice;
        shownProfiles = profiles;
        if (inversionAnswers.isEmpty())
            return std::nullopt;
        InversionChoice answer = inversionAnswers.takeFirst();
        return answer;
    }

    bool openDocument(const QString& path) override
    {
        openedDocuments << path;
        return documentsOpen;
    }

private:
    QString nextFile(const FileDialogOptions& o, bool save)
    {
        fileDialogs.append(o);
        fileDialogSaves.append(save);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
};
