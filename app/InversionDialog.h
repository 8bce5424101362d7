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
    // `frequencies` (FreqIndex) the reading holds: a choice among them when more than one.
    TInversionDialog(const InversionChoice& choice, const std::vector<zel::Profile>& profiles, QWidget* parent = nullptr,
                     const std::vector<int>& frequencies = {});
    InversionChoice choice() const;

    QComboBox* ProfileBox = nullptr;
    QComboBox* FrequencyBox = nullptr;  // the frequency inverted: the lowest of the profile first
    QDoubleSpinBox* LambdaEdit = nullptr;
    QSpinBox* IterationsEdit = nullptr;
    QCheckBox* RobustBox = nullptr;
    QDoubleSpinBox* RatioEdit = nullptr;
    QCheckBox* UseFlaggedBox = nullptr;
    QCheckBox* DoiBox = nullptr;
    QCheckBox* IpBox = nullptr;  // the frequency effect too, of a profile of two frequencies
    TDecimalSpinBox* DoiThresholdEdit = nullptr;

private:
    std::vector<zel::Profile> m_profiles;
};
