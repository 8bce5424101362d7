#pragma once

#include "survey/Sequence.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// "Service" → "Electrode table generator...": an array and its numbers, the
// count and first lines of the table while the user types, a sketch of the
// array, and "Save..." and "Upload..." of the table.
class TSequenceDialog : public QDialog {
    Q_OBJECT
public:
    // What the buttons do with the table: `save` writes it (asking for the
    // file), `upload` sends it to the station. Each returns what came of it,
    // shown in the dialog (empty: nothing done).
    using Action = std::function<QString(const std::vector<zel::TableEntry>& entries, const QString& name)>;
    TSequenceDialog(Action save, Action upload, QWidget* parent = nullptr);

    zel::SequenceOptions options() const;
    // The fields as they were when the generator was last closed.
    void setOptions(const zel::SequenceOptions& options);
    // How a running upload is stopped: the Stop button beside the result, and
    // Escape, which stops the upload before it closes the generator.
    void setStop(std::function<void()> stop) { m_stop = std::move(stop); }
    bool uploading() const { return m_uploading; }
    void reject() override;
    // The table of the current choice; none (and the reason shown) when refused.
    const std::optional<std::vector<zel::TableEntry>>& entries() const { return m_entries; }
    // A name for the table: "DD48.txt".
    QString tableName() const;

    QComboBox* ArrayBox = nullptr;
    QSpinBox* ElectrodesEdit = nullptr;
    QSpinBox* FirstEdit = nullptr;
    QSpinBox* AMinEdit = nullptr;
    QSpinBox* AMaxEdit = nullptr;
    QSpinBox* NMaxEdit = nullptr;
    QComboBox* ChannelsBox = nullptr;
    QCheckBox* ReciprocalsBox = nullptr;  // the reciprocals after the entries
    QLabel* CountLabel = nullptr;
    QLabel* SketchLabel = nullptr;
    QPlainTextEdit* Preview = nullptr;
    QLabel* ResultLabel = nullptr;  // what the last Save or Upload came to
    QPushButton* SaveButton = nullptr;
    QPushButton* UploadButton = nullptr;
    QPushButton* StopButton = nullptr;  // shown while an upload runs

private:
    void update();

    Action m_save;
    Action m_upload;
    std::function<void()> m_stop;
    bool m_uploading = false;
    std::optional<std::vector<zel::TableEntry>> m_entries;
};

// The sketch of an array for its spacing multiple and level: "A--M--N--B".
QString arraySketch(zel::ArrayKind array, int n);
