#pragma once

#include "survey/Geometry.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

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
    QLabel* ProblemLabel = nullptr;
};
