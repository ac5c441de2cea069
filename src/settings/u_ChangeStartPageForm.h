#pragma once

#include "ui_u_ChangeStartPageForm.h"

#include <QDialog>

// Edits the browser's start page.
class TChangeStartPageForm : public QDialog, public Ui::TChangeStartPageForm
{
    Q_OBJECT
public:
    explicit TChangeStartPageForm(QWidget *parent = nullptr);
};
