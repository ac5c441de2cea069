#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class TForm5;
}

// What an information text is about; each topic has its own picture beside the text.
enum class InfoTopic
{
    Cookies,
    TypedUrls,
    AddressAutocomplete,
    FormAutocomplete,
    DownloadNotice,
    PrintBackgrounds,
};

// The information window behind the small information pictures.
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);
    ~TForm5() override;

    // One line per piece of `text` between bytes 10, and the topic's picture beside them.
    void setInfo(const QString &text, InfoTopic topic);

public slots:
    void BitBtn2Click();

private:
    QScopedPointer<Ui::TForm5> ui;
};

// The resource path of the topic's picture.
QString InfoPicture(InfoTopic topic);

// Puts the text and the topic's picture into the information window. The caller then shows
// Form5 modally.
void SetInfoText(const QString &text, InfoTopic topic);
// As above with the cookies' picture, the one the window has always shown.
void SetInfoText(const QString &text);
