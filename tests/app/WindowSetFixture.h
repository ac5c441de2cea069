#pragma once

#include "TestEnvironment.h"
#include "app/CompanionFiles.h"
#include "app/Program.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"

#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

// Builds the program's windows once per test process, as start-up does, with a language
// choice already made so that the language window closes itself.
class WindowSetTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (Form1)
            return;
        QFile choice(CompanionFiles::forRunningProgram().languageChoiceFile());
        if (choice.open(QIODevice::WriteOnly))
            choice.write("1.5a");
        choice.close();
        createWindowSet();
        prepareRun({}, [] {});
        // The start timer finishes the interactive set-up at once, not in the middle of a test.
        if (Form1->Timer1->isActive())
            Form1->Timer1Timer();
    }
};
