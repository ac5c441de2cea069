#pragma once

#include "ui_u_splash.h"

#include <QDialog>

// The borderless picture with the product name, on screen while start-up builds the windows.
class TForm3 : public QDialog, public Ui::TForm3
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // The title in the small panel on the picture, in the current language.
    void setTitleText(const QString &text);
};
