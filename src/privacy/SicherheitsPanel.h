#pragma once

#include <QFrame>
#include <QScopedPointer>

namespace Ui {
class TSicherheitsPanel;
}

// The main window's panel of the privacy clean-ups: cookies, history, typed addresses and the
// run-dialog and recent-documents lists, each with its window or its immediate deletion.
class TSicherheitsPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TSicherheitsPanel(QWidget *parent = nullptr);
    ~TSicherheitsPanel() override;

public slots:
    void Label16Click();
    void Image13Click();
    void Label21Click();
    void Label22Click();
    void Label23Click();
    void Label25Click();
    void Label38Click();
    void Image17Click();

signals:
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();

private:
    QScopedPointer<Ui::TSicherheitsPanel> ui;
};
