#pragma once

#include "ui_u_history.h"

#include <QDialog>

// The history window: lists the visited addresses and clears them.
class THistoryForm : public QDialog, public Ui::THistoryForm
{
    Q_OBJECT
public:
    explicit THistoryForm(QWidget *parent = nullptr);

public slots:
    void BitBtn1Click();
};
