#pragma once

#include <QDialog>
#include <QScopedPointer>

struct ShownBrowserSettings;

namespace Ui {
class TForm6;
}

// Switches the browser's three autocomplete functions. The boxes are set by the settings load,
// not when the window opens.
class TForm6 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);
    ~TForm6() override;

    // The window's three switches, from a load and for a save.
    void ShowSwitches(const ShownBrowserSettings &settings);
    void TakeSwitches(ShownBrowserSettings &settings) const;

public slots:
    void CheckBox2Click();
    void Image38Click();
    void Image4Click();
    void BitBtn5Click();

private:
    QScopedPointer<Ui::TForm6> ui;
};
