#include "data/NumericLocale.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    return RUN_ALL_TESTS();
}
