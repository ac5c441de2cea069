#pragma once

#include "ui_u_cookieForm.h"

#include <QDialog>

// The cookie window: lists the browser's cookies, shows one's details, deletes one or all.
class TCookieForm : public QDialog, public Ui::TCookieForm
{
    Q_OBJECT
public:
    explicit TCookieForm(QWidget *parent = nullptr);

public slots:
    void BitBtn1Click();
};
