#pragma once

#include "ui_u_info.h"

#include <QDialog>

// The information window behind the small information pictures.
class TForm5 : public QDialog, public Ui::TForm5
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);

public slots:
    void BitBtn2Click();
};

// Puts the text into the information window, one line per piece between bytes 10.
// The caller then shows Form5 modally.
void SetInfoText(const QString &text);
