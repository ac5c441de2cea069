#pragma once

#include "ui_u_autocomplete.h"

#include <QDialog>

// Switches the browser's three autocomplete functions. The boxes are set by the settings load,
// not when the window opens.
class TForm6 : public QDialog, public Ui::TForm6
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

public slots:
    void CheckBox2Click();
    void Image38Click();
    void Image4Click();
    void BitBtn5Click();
};
