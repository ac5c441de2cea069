#pragma once

#include <QFrame>
#include <QScopedPointer>

namespace Ui {
class TWillkommenPanel;
}

// The main window's first panel: what the program does, and the links to its documentation,
// its help and its web site.
class TWillkommenPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TWillkommenPanel(QWidget *parent = nullptr);
    ~TWillkommenPanel() override;

    // The presenter's picture beside the program, when there is one, with its caption.
    void ShowPresenterPicture();

public slots:
    void Label1Click();
    void Label2Click();
    void Label3Click();

signals:
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();

private:
    QScopedPointer<Ui::TWillkommenPanel> ui;
};
