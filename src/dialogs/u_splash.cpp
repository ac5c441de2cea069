#include "dialogs/u_splash.h"

#include "controls/StoredLayout.h"

TForm3::TForm3(QWidget *parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setupUi(this);
    StoredLayout::apply(this);
    setFixedSize(size());
}

void TForm3::setTitleText(const QString &text)
{
    StoredLayout::setCaption(Label1, text);
}
