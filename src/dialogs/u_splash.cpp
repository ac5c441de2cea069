#include "dialogs/u_splash.h"

#include "ui_u_splash.h"

#include "controls/StoredLayout.h"

TForm3::TForm3(QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), ui(new Ui::TForm3)
{
    ui->setupUi(this);
    StoredLayout::apply(this);
    setFixedSize(size());
}

TForm3::~TForm3() = default;

void TForm3::setTitleText(const QString &text)
{
    StoredLayout::setCaption(ui->Label1, text);
}
