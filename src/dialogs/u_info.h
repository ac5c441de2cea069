#pragma once

#include "ui_u_info.h"

#include <QDialog>

// The information window behind the small information pictures.
class TForm5 : public QDialog, public Ui::TForm5
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);

public slots:
    void BitBtn2Click();
};

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

// The resource path of the topic's picture.
QString InfoPicture(InfoTopic topic);

// Puts the text into the information window, one line per piece between bytes 10, and shows
// the topic's picture. The caller then shows Form5 modally.
void SetInfoText(const QString &text, InfoTopic topic);
// As above with the cookies' picture, the one the window has always shown.
void SetInfoText(const QString &text);
