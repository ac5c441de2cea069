#include "shell/BrowseForFolder.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

const QString downloads = QStringLiteral("C:\\users\\user\\Downloads");
const QString documents = QStringLiteral("C:\\users\\user\\Documents");

class BrowseForFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        prefix.folder("drive_c/users/user/Downloads")
            .folder("drive_c/users/user/Documents/Projekte");
    }

    // Runs Browse with `step` done in the open dialog.
    bool browse(std::function<void(win::ShellBrowseWindow *)> step)
    {
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done || !picker.dialog() || !picker.dialog()->isVisible())
                return;
            done = true;
            step(picker.dialog());
        });
        poll.start(5);
        return picker.Browse();
    }

    QString treeSelection(win::ShellBrowseWindow *window) const
    {
        return window->tree()->currentIndex().data().toString();
    }

    PrefixBuilder prefix;
    TBrowseForFolderDialog picker;
};

} // namespace

TEST_F(BrowseForFolderTest, OpensAtTheStartPathShowsEachSelectionAndReturnsTheChosenOne)
{
    picker.SetStartupPath(downloads);
    QStringList seen;
    int changes = 0;
    picker.OnSelChanged = [&](QObject *) { ++changes; };
    EXPECT_TRUE(browse([&](win::ShellBrowseWindow *window) {
        seen << treeSelection(window) << picker.SelectedPath() << picker.StatusText();
        window->setSelection(documents);
        seen << treeSelection(window) << picker.SelectedPath() << picker.StatusText();
        window->okButton()->click();
    }));
    EXPECT_EQ(seen,
              (QStringList{"Downloads", downloads, downloads, "Documents", documents, documents}));
    EXPECT_GE(changes, 2);
    EXPECT_EQ(picker.SelectedPath(), documents);
    EXPECT_EQ(picker.SelDisplayName(), "Documents");
}

TEST_F(BrowseForFolderTest, OnlyFileSystemFoldersCanBeChosen)
{
    picker.SetStartupFolder(bfMyComputer);
    bool okEnabled = true;
    EXPECT_FALSE(browse([&](win::ShellBrowseWindow *window) {
        okEnabled = window->okButton()->isEnabled();
        window->okButton()->click();
        window->cancelButton()->click();
    }));
    EXPECT_FALSE(okEnabled) << "\"My Computer\" has no path";
}

TEST_F(BrowseForFolderTest, CancelKeepsThePreviousSelectionWhileSelectedPathKeepsTheLastOne)
{
    picker.SetStartupPath(downloads);
    ASSERT_TRUE(browse([](win::ShellBrowseWindow *window) { window->okButton()->click(); }));
    EXPECT_FALSE(browse([](win::ShellBrowseWindow *window) {
        window->setSelection(documents);
        window->cancelButton()->click();
    }));
    EXPECT_EQ(picker.SelectedPath(), documents);
    picker.SetSelectedPath(QString());
    EXPECT_EQ(picker.SelectedPath(), downloads) << "the chosen folder is still the selected one";
}

TEST_F(BrowseForFolderTest, TheEditBoxFollowsTheSelectionAndSelectsWhatIsTyped)
{
    picker.Options |= bfOption(bfoEdit);
    picker.EditAttachment = QStringLiteral("*");
    picker.SetStartupPath(downloads);
    QStringList seen;
    int edits = 0;
    picker.OnEditChange = [&](QObject *) { ++edits; };
    browse([&](win::ShellBrowseWindow *window) {
        QLineEdit *edit = picker.editBox();
        seen << edit->text() << QString::number(window->statusLabel()->isVisible());
        QApplication::setActiveWindow(window);
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, documents + "\\nicht da\\x");
        seen << treeSelection(window) << picker.SelectedPath() << edit->text();
        window->cancelButton()->click();
    });
    EXPECT_EQ(seen, (QStringList{downloads + "*", "0", "Documents", documents,
                                 documents + "\\nicht da\\x"}));
    EXPECT_GT(edits, 10);
}

TEST_F(BrowseForFolderTest, TheExtraControlFitsBesideOkAndReportsItsClicks)
{
    picker.SetCustomButtonType(bfbButton);
    picker.SetCustomButtonCaption(QStringLiteral("Neu"));
    int clicks = 0;
    picker.OnCustomButtonClick = [&](QObject *) { ++clicks; };
    QList<int> widths;
    int widest = 0;
    bool checkBox = false;
    QString error;
    browse([&](win::ShellBrowseWindow *window) {
        const QPushButton *ok = window->okButton();
        widest = ok->x() - window->titleLabel()->x() -
                 (window->cancelButton()->x() - ok->geometry().right() - 1);
        widths << picker.customButton()->width() << ok->width();
        picker.customButton()->click();
        picker.SetCustomButtonCaption(QString(60, u'W'));
        widths << picker.customButton()->width();
        picker.SetCustomButtonType(bfbCheckBox);
        checkBox = qobject_cast<QCheckBox *>(picker.customButton()) != nullptr;
        picker.customButton()->click();
        picker.SetCustomButtonType(bfbNone);
        try {
            picker.SetCustomButtonEnabled(false);
        } catch (const EBrowseForFolderDialog &e) {
            error = QString::fromUtf8(e.what()).section('\n', 0, 0);
        }
        window->cancelButton()->click();
    });
    EXPECT_EQ(widths, (QList<int>{widths[1], widths[1], widest}))
        << "OK's width at least, the room left of OK at most";
    EXPECT_TRUE(checkBox);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(picker.CustomButtonChecked());
    EXPECT_EQ(error, "Custom button does not exist.");
}

TEST_F(BrowseForFolderTest, SpecialFoldersAndPathsReplaceEachOther)
{
    EXPECT_EQ(picker.RootFolder(), bfDesktop);
    EXPECT_EQ(picker.RootPath(), "");
    picker.SetStartupPath(downloads);
    EXPECT_EQ(picker.StartupFolder(), bfCustomPath);
    prefix.folder("drive_c/users/user/Favorites");
    picker.SetStartupFolder(bfFavorites);
    EXPECT_EQ(picker.StartupPath(), "C:\\users\\user\\Favorites");
    picker.SetRootPath(QStringLiteral("C:\\users"));
    EXPECT_EQ(picker.RootFolder(), bfCustomPath);
    picker.SetRootFolder(bfMyComputer);
    EXPECT_EQ(picker.RootPath(), "") << "\"My Computer\" has no path";
}

TEST_F(BrowseForFolderTest, AStartAtTheRootIsReportedAsTheFirstSelection)
{
    picker.SetRootPath(documents);
    for (const QString &start : {documents, documents + "\\nicht da"}) {
        picker.SetStartupPath(start);
        int changes = 0;
        picker.OnSelChanged = [&](QObject *) { ++changes; };
        picker.SetSelectedPath(QString());
        browse([](win::ShellBrowseWindow *window) { window->cancelButton()->click(); });
        EXPECT_EQ(changes, 1) << start.toStdString();
        EXPECT_EQ(picker.SelectedPath(), documents) << start.toStdString();
    }
}

// Only an extra control moves the focus; without one the dialog keeps its own.
TEST_F(BrowseForFolderTest, TheEditBoxTakesTheFocusOnlyFromAnExtraControl)
{
    picker.Options |= bfOption(bfoEdit);
    QList<bool> editFocused;
    for (TbfCustomButton extra : {bfbNone, bfbButton}) {
        picker.SetCustomButtonType(extra);
        browse([&](win::ShellBrowseWindow *window) {
            editFocused << (window->focusWidget() == picker.editBox());
            window->cancelButton()->click();
        });
    }
    EXPECT_EQ(editFocused, (QList<bool>{false, true}));
}

// The shell holds no network: computers and printers cannot be chosen; file-system ancestors can.
TEST_F(BrowseForFolderTest, TheNetworkFlagsAreHonoured)
{
    picker.SetStartupPath(documents);
    const auto okAt = [this](TbfOption option) {
        picker.Options = bfOption(option);
        bool enabled = false;
        browse([&](win::ShellBrowseWindow *window) {
            enabled = window->okButton()->isEnabled();
            window->cancelButton()->click();
        });
        return enabled;
    };
    EXPECT_FALSE(okAt(bfoBrowseForComputer));
    EXPECT_FALSE(okAt(bfoBrowseForPrinter));
    EXPECT_TRUE(okAt(bfoReturnFSAncestors));
    EXPECT_TRUE(okAt(bfoDontGoBelowDomain));
}
