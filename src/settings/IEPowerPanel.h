#pragma once

#include <QFrame>
#include <QScopedPointer>

class QFileDialog;
class TBrowseForFolderDialog;
struct ShownBrowserSettings;

namespace Ui {
class TIEPowerPanel;
}

// The main window's panel of browser settings: start page, HTML editor, download folder, the
// download notice and the printing of backgrounds, and the way to the autocomplete window.
// Every change is saved at once and read back.
class TIEPowerPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TIEPowerPanel(QWidget *parent = nullptr);
    ~TIEPowerPanel() override;

    // The editor picker and the download folder picker; a settings load sets where the
    // folder picker starts.
    QFileDialog *OpenDialog1;
    TBrowseForFolderDialog *BrowseForFolderDialog1;

    // The panel's three lines and two boxes, from a load and for a save.
    void ShowSettings(const ShownBrowserSettings &settings);
    ShownBrowserSettings ShownSettings() const;

public slots:
    void Label50Click();
    void Label46Click();
    void Label61Click();
    void Label60Click();
    void Label53Click();
    void CheckBox1Click();
    void CheckBox3Click();
    void Image36Click();
    void Image40Click();
    void Image37Click();

signals:
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();

private:
    QScopedPointer<Ui::TIEPowerPanel> ui;
};
