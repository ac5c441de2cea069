#pragma once

#include "ui_u_ChangeStartPageForm.h"

#include <QDialog>

// Edits the browser's start page; the caller reads the edit box once the window has closed.
class TChangeStartPageForm : public QDialog, public Ui::TChangeStartPageForm
{
    Q_OBJECT
public:
    explicit TChangeStartPageForm(QWidget *parent = nullptr);

public slots:
    void Label5Click();
    void Label4Click();
};
