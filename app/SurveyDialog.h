#pragma once

#include "survey/Geometry.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

// "Survey geometry...": the electrode spacing, the position of electrode 0
// and the channel geometry, each kept within its range.
class TSurveyDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSurveyDialog(const zel::SurveyGeometry& geometry, QWidget* parent = nullptr);
    zel::SurveyGeometry geometry() const;

    QDoubleSpinBox* SpacingEdit = nullptr;
    QDoubleSpinBox* OffsetEdit = nullptr;
    QComboBox* ChannelsBox = nullptr;
};
