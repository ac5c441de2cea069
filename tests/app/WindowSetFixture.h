#pragma once

#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "app/CompanionFiles.h"
#include "app/Program.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "automation/AutoPanel.h"
#include "panels/AboutPanel.h"
#include "panels/BrowsercachePanel.h"
#include "panels/FavoritenPanel.h"
#include "panels/WillkommenPanel.h"
#include "privacy/SicherheitsPanel.h"
#include "settings/IEPowerPanel.h"

#include "controls/ClickLabel.h"
#include "controls/aniicon.h"

#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/urlcache/WinInetCache.h"
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

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

// A window flow over a prefix of its own: the main window is up, the read-only notice comes as
// the program shows it, and the URL cache layer is pointed at the prefix afresh.
class PrefixWindowTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        Form1->show();
        ReadOnlyNotice::setHandler([](const QString &) { ShowMessage2(Qutrans::get(196)); });
    }

    void TearDown() override
    {
        ReadOnlyNotice::setHandler({});
        prefix.reset();
        wininet::setUrlCacheEnvironment(nullptr);
    }

    // The cache layer resolves the prefix once; a new one must be picked up afresh.
    PrefixBuilder &usePrefix(PrefixBuilder::Start start = PrefixBuilder::Start::Sample)
    {
        prefix = std::make_unique<PrefixBuilder>(start);
        wininet::setUrlCacheEnvironment(nullptr);
        return *prefix;
    }

    std::unique_ptr<PrefixBuilder> prefix;
};
