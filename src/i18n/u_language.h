#pragma once

#include "ui_u_language.h"

#include <QDialog>

class QTimer;

// The language window: asks for a language on the first start of this version, and closes
// itself at once when a language was chosen before.
class TForm4 : public QDialog, public Ui::TForm4
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    QTimer *Timer1;

public slots:
    void Timer1Timer();
    void ComboBox1Change();
    void BitBtn1Click();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
};
