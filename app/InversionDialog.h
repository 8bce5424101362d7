#pragma once

#include "inversion/Inversion.h"
#include "survey/Geometry.h"

#include <QDialog>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSettings;
class QSpinBox;

// What "Invert..." inverts and how: the profile, the regularisation and
// its iterations, robust data weights, the vertical against horizontal
// smoothness, and whether values the data check flagged go in.
struct InversionChoice {
    zel::Profile profile;
    double lambda = 20;
    int maxIterations = 20;
    bool robust = false;
    double verticalRatio = 1;
    bool useFlagged = true;

    zel::inv::InversionOptions options() const;
};

// [Inversion] of the settings file: the choices made last (a bad or missing
// value: the default's); the profile is not kept.
InversionChoice readInversionChoice(QSettings& settings);
void writeInversionChoice(QSettings& settings, const InversionChoice& choice);

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

private:
    std::vector<zel::Profile> m_profiles;
};
