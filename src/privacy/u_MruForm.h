#pragma once

#include "ui_u_MruForm.h"

#include <QDialog>

// The most-recently-used lists window: run-dialog commands and recent documents.
class TMruForm : public QDialog, public Ui::TMruForm
{
    Q_OBJECT
public:
    explicit TMruForm(QWidget *parent = nullptr);

public slots:
    void BitBtn1Click();
};
