#pragma once

#include "survey/Geometry.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

#include <QList>
#include <utility>

// "Survey geometry...": the electrode spacing, the position of electrode 0
// and the channel geometry, each kept within its range.
class TSurveyDialog : public QDialog {
    Q_OBJECT
public:
    // `problem`, when given, says which stored value could not be used.
    explicit TSurveyDialog(const zel::SurveyGeometry& geometry, QWidget* parent = nullptr,
                           const QString& problem = QString());
    zel::SurveyGeometry geometry() const;

    QDoubleSpinBox* SpacingEdit = nullptr;
    QDoubleSpinBox* OffsetEdit = nullptr;
    QComboBox* ChannelsBox = nullptr;
    // What the data check takes for suspect.
    QDoubleSpinBox* MinVoltageEdit = nullptr;
    QDoubleSpinBox* SpikeFactorEdit = nullptr;
    QDoubleSpinBox* MaxErrorEdit = nullptr;
    QDoubleSpinBox* DefaultErrorEdit = nullptr;
    QDoubleSpinBox* MinErrorEdit = nullptr;
    QLabel* ProblemLabel = nullptr;

    // OK only while every field holds a number of its range; else the
    // problem line names the field.
    void accept() override;

private:
    QList<std::pair<QDoubleSpinBox*, QString>> m_fields;
};
