#pragma once

#include "ui_u_Navolis.h"

#include <QWidget>

class QFileDialog;
class QTimer;
class TBrowseForFolderDialog;
class TShellLink;

// The main window: the navigation column on the left and seven stacked panels, one shown
// at a time. Closing it ends the program.
class TForm1 : public QWidget, public Ui::TForm1
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);

    QTimer *Timer1;
    QFileDialog *OpenDialog1;
    // Reads and writes the start-up shortcut of the automation panel.
    TShellLink *ShellLink1;
    // The download folder picker; LoadBrowserSettings sets where it starts.
    TBrowseForFolderDialog *BrowseForFolderDialog1;

    // True once the window was asked to close; the program then ends.
    bool closeRequested() const { return m_closeRequested; }

    // The panels in the order of the navigation column and of the "weiter" cycle.
    QList<QFrame *> panels() const;
    QList<QToolButton *> sideButtons() const;
    TBrowsercachePanel *browsercachePanel() const { return BrowsercachePanel; }
    TFavoritenPanel *favoritenPanel() const { return FavoritenPanel; }

public slots:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton9Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void AniIcon1Click();
    void Label1Click();
    void Label2Click();
    void Label3Click();
    void Label12Click();
    void Label16Click();
    void Image13Click();
    void Label21Click();
    void Label22Click();
    void Label23Click();
    void Label25Click();
    void Label38Click();
    void Image17Click();
    void ComboBox1Change();
    // The handler of the six automation boxes, defined with the automations.
    void CheckBox4Click();
    // The settings panel's handlers, defined with the settings.
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
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void connectHandlers();
    void prepareSettingsPanel();
    void showPanel(QFrame *panel);
    void nextPanel(QFrame *panel, QToolButton *sideButton);
    void fillLanguageBox();
    void showPresenterPicture();

    bool m_closeRequested = false;
};

#include "app/Navigation.h"
