#pragma once

#include "ui_u_TypedURLs.h"

#include <QDialog>

// The typed-address window: the addresses typed into the browser's address bar.
class TTypedURLsForm : public QDialog, public Ui::TTypedURLsForm
{
    Q_OBJECT
public:
    explicit TTypedURLsForm(QWidget *parent = nullptr);

public slots:
    void BitBtn1Click();
};
