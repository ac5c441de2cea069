#pragma once

#include <QDialog>
#include <QScopedPointer>

class QTimer;

namespace Ui {
class TForm4;
}

// The language window: asks for a language on the first start of this version, and closes
// itself at once when a language was chosen before.
class TForm4 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

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

    QScopedPointer<Ui::TForm4> ui;
};
