#pragma once

#include <QScopedPointer>
#include <QWidget>

class QFrame;
class QTimer;
class QToolButton;
class TAboutPanel;
class TAutoPanel;
class TBrowsercachePanel;
class TFavoritenPanel;
class TIEPowerPanel;
class TPrefixBar;
class TShellLink;
class TSicherheitsPanel;
class TWillkommenPanel;

namespace Ui {
class TForm1;
}

// The main window: the navigation column on the left and seven stacked panels, one shown
// at a time. Closing it ends the program.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    QTimer *Timer1;
    // Reads and writes the start-up shortcut of the automation panel.
    TShellLink *ShellLink1;
    // Below the panels: the prefix worked on, and the others to switch to.
    TPrefixBar *PrefixBar1;

    // True once the window was asked to close; the program then ends.
    bool closeRequested() const { return m_closeRequested; }

    // The panels in the order of the navigation column and of the "weiter" cycle.
    QList<QFrame *> panels() const;
    QList<QToolButton *> sideButtons() const;

    TWillkommenPanel *willkommenPanel() const;
    TSicherheitsPanel *sicherheitsPanel() const;
    TBrowsercachePanel *browsercachePanel() const;
    TFavoritenPanel *favoritenPanel() const;
    TIEPowerPanel *iePowerPanel() const;
    TAutoPanel *autoPanel() const;
    TAboutPanel *aboutPanel() const;

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
    void Timer1Timer();
    // Works on the prefix in `root` from now on: every panel reads it afresh.
    void switchPrefix(const QString &root);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void connectHandlers();
    void showPanel(QFrame *panel);
    void nextPanel(QFrame *panel, QToolButton *sideButton);

    QScopedPointer<Ui::TForm1> ui;
    bool m_closeRequested = false;
};

#include "controls/ClickSound.h"
