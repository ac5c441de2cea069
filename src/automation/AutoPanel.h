#pragma once

#include <QFrame>
#include <QList>
#include <QScopedPointer>
#include <utility>

class QCheckBox;

namespace Ui {
class TAutoPanel;
}

// The main window's panel of the automatic clean-up: six boxes whose letters the start-up
// shortcut passes to the program, and one that runs them on every prefix at login instead;
// every change of a box rewrites the start-up entries.
class TAutoPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TAutoPanel(QWidget *parent = nullptr);
    ~TAutoPanel() override;

    // The letters of the ticked boxes, in the boxes' order: c b h m e n.
    QString ChosenLetters() const;
    // Ticks the box of each of these letters and unticks the others, without running
    // CheckBox4Click: showing a choice never stores it.
    void TickLetters(const QString &letters);
    // The choice to run them on every prefix at login, instead of the shown prefix's start.
    bool AllPrefixesChosen() const;
    void TickAllPrefixes(bool everyPrefix);

public slots:
    // The handler of all seven boxes.
    void CheckBox4Click();

signals:
    // The letters of the boxes after a click, to be stored in the start-up entries.
    void choiceChanged(const QString &letters);
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();

private:
    QList<std::pair<QCheckBox *, QChar>> boxes() const;

    QScopedPointer<Ui::TAutoPanel> ui;
    QCheckBox *CheckBox10;
};
