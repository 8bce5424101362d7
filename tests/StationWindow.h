#pragma once

#include "FakeDialogs.h"
#include "SimProcess.h"
#include "WindowInDir.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <memory>

// The window with the simulated station as COM5, its line reached through a
// link in the test's folder.
class StationWindow : public ::testing::Test, protected WindowInDir {
protected:
    // Starts the station with `args`, then the window; `moreIni` goes into
    // the settings file after the port.
    void startStation(const QStringList& args, const QByteArray& moreIni = {})
    {
        const QString link = dir.filePath("station");
        sim = std::make_unique<SimProcess>(link, args);
        ASSERT_TRUE(sim->ok());
        writeIni("[Ports]\nCOM5=" + link.toLocal8Bit() + "\n" + moreIni);
        form = std::make_unique<TForm1>(&dialogs, QStringList());
        ASSERT_EQ(form->ComboBox1->currentText(), "COM5");
    }
    void TearDown() override
    {
        form.reset();
        sim.reset();
    }

    FakeDialogs dialogs;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TForm1> form;
};
