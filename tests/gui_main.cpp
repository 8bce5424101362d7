#include "data/NumericLocale.h"
#include "data/Settings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zeltest {

class FreshUserSettings : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { zel::settings::userSettings()->clear(); }
};

} // namespace zeltest

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                  : qgetenv("QT_QPA_PLATFORM"));
    // The readings the window keeps go to a folder of the run, not the user's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    ::testing::InitGoogleTest(&argc, argv);
    // The user's settings are a file of the run, and every test starts without them.
    zel::settings::keepUserSettingsIn(data.filePath("user-settings.ini"));
    ::testing::UnitTest::GetInstance()->listeners().Append(new zeltest::FreshUserSettings);
    return RUN_ALL_TESTS();
}
