#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class TForm3;
}

// The borderless picture with the product name, on screen while start-up builds the windows.
class TForm3 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
    ~TForm3() override;

    // The title in the small panel on the picture, in the current language.
    void setTitleText(const QString &text);

private:
    QScopedPointer<Ui::TForm3> ui;
};
