#pragma once

#include <QFrame>
#include <QScopedPointer>

namespace Ui {
class TAboutPanel;
}

// The main window's last panel: the program's version and maker, the language choice, and the
// links to the web site and to mail.
class TAboutPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TAboutPanel(QWidget *parent = nullptr);
    ~TAboutPanel() override;

    // The installed languages, the current one selected.
    void FillLanguageBox();

public slots:
    void Label9Click();
    void Label12Click();
    void ComboBox1Change();

signals:
    // The "weiter" button and the logo, which the main window's navigation handles.
    void nextClicked();
    void logoClicked();

private:
    QScopedPointer<Ui::TAboutPanel> ui;
};
