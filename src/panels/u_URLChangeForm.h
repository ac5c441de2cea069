#pragma once

#include "ui_u_URLChangeForm.h"

#include <QDialog>

// Edits the address of one favourite.
class TURLChangeForm : public QDialog, public Ui::TURLChangeForm
{
    Q_OBJECT
public:
    explicit TURLChangeForm(QWidget *parent = nullptr);
};
