#pragma once

#include "section/CompareJob.h"

#include <QWidget>

#include <functional>

class QCustomPlot;
class QLabel;
class TElidedLabel;
class QPushButton;
class UserDialogs;

// A later reading of a line against an earlier one: the change of
// resistivity of the difference inversion and the change of apparent
// resistivity of the quadripoles both hold, with progress and Stop while
// it runs and the change's files saved on request.
class TCompareWindow : public QWidget {
    Q_OBJECT
public:
    // Asks for the name of the files to write.
    using AskFile = std::function<QString(QWidget* parent)>;
    TCompareWindow(zel::CompareJob& job, UserDialogs& dialogs, AskFile askFile, QWidget* parent);

    // Starts the comparison; false while one runs.
    bool compare(zel::SectionInput base, zel::SectionInput later, const zel::inv::InversionOptions& options);
    zel::CompareJob& job() { return m_job; }

    QLabel* TitleLabel = nullptr;
    TElidedLabel* ProgressLabel = nullptr;
    QPushButton* StopButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QCustomPlot* ChangePlot = nullptr;
    QCustomPlot* ApparentPlot = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    // Closing the window stops its run: nothing would show what it gives.
    void closeEvent(QCloseEvent* event) override;

private:
    void retranslate();
    // The progress line, in the language of the moment.
    void showProgress(std::function<QString()> text);
    void draw();
    void save();

    zel::CompareJob& m_job;  // the document's
    UserDialogs& m_dialogs;
    AskFile m_askFile;
    std::function<QString()> m_progressText;
};
