#pragma once

#include "section/Options.h"

#include <QDialog>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class TDecimalSpinBox;

using zel::InversionChoice;

// "Survey" → "Invert...": the options of an inversion of one profile.
class TInversionDialog : public QDialog {
    Q_OBJECT
public:
    TInversionDialog(const InversionChoice& choice, const std::vector<zel::Profile>& profiles, QWidget* parent = nullptr);
    InversionChoice choice() const;

    QComboBox* ProfileBox = nullptr;
    QDoubleSpinBox* LambdaEdit = nullptr;
    QSpinBox* IterationsEdit = nullptr;
    QCheckBox* RobustBox = nullptr;
    QDoubleSpinBox* RatioEdit = nullptr;
    QCheckBox* UseFlaggedBox = nullptr;
    QCheckBox* DoiBox = nullptr;
    TDecimalSpinBox* DoiThresholdEdit = nullptr;

private:
    std::vector<zel::Profile> m_profiles;
};
