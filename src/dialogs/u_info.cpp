#include "dialogs/u_info.h"

#include "ui_u_info.h"

#include "app/WindowSet.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"

TForm5::TForm5(QWidget *parent) : QDialog(parent), ui(new Ui::TForm5)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TForm5::BitBtn2Click);
}

TForm5::~TForm5() = default;

void TForm5::setInfo(const QString &text, InfoTopic topic)
{
    ui->Image1->setPixmap(QPixmap(InfoPicture(topic)));
    ui->Memo1->clear();
    for (const QString &line : text.split(QLatin1Char('\n')))
        ui->Memo1->appendPlainText(line);
    ui->Memo1->moveCursor(QTextCursor::Start);
}

void TForm5::BitBtn2Click()
{
    PlayClickSound();
    close();
}

QString InfoPicture(InfoTopic topic)
{
    switch (topic) {
    case InfoTopic::Cookies:
        return QStringLiteral(":/art/info_cookies.png");
    case InfoTopic::TypedUrls:
        return QStringLiteral(":/art/info_typed_urls.png");
    case InfoTopic::AddressAutocomplete:
        return QStringLiteral(":/art/info_address_autocomplete.png");
    case InfoTopic::FormAutocomplete:
        return QStringLiteral(":/art/info_form_autocomplete.png");
    case InfoTopic::DownloadNotice:
        return QStringLiteral(":/art/info_download_notice.png");
    case InfoTopic::PrintBackgrounds:
        return QStringLiteral(":/art/info_print_backgrounds.png");
    }
    return QStringLiteral(":/art/info_cookies.png");
}

void SetInfoText(const QString &text)
{
    SetInfoText(text, InfoTopic::Cookies);
}

void SetInfoText(const QString &text, InfoTopic topic)
{
    Form5->setInfo(text, topic);
}
