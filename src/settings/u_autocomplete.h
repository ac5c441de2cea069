#pragma once

#include "ui_u_autocomplete.h"

#include <QDialog>

// Switches the browser's three autocomplete functions.
class TForm6 : public QDialog, public Ui::TForm6
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

public slots:
    void BitBtn5Click();
};
