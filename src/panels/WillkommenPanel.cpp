#include "panels/WillkommenPanel.h"

#include "ui_WillkommenPanel.h"

#include "app/CompanionFiles.h"
#include "controls/ClickSound.h"
#include "controls/JpegImage.h"
#include "dialogs/MyTricks.h"
#include "i18n/ApplyTranslations.h"

#include <QFileInfo>

TWillkommenPanel::TWillkommenPanel(QWidget *parent) : QFrame(parent), ui(new Ui::TWillkommenPanel)
{
    ui->setupUi(this);
    connect(ui->Label1, &ClickLabel::clicked, this, &TWillkommenPanel::Label1Click);
    connect(ui->Label2, &ClickLabel::clicked, this, &TWillkommenPanel::Label2Click);
    connect(ui->Label3, &ClickLabel::clicked, this, &TWillkommenPanel::Label3Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TWillkommenPanel::nextClicked);
    connect(ui->AniIcon1, &TAniIcon::clicked, this, &TWillkommenPanel::logoClicked);
}

TWillkommenPanel::~TWillkommenPanel() = default;

void TWillkommenPanel::Label1Click()
{
    PlayClickSound();
    RunIfExists(CompanionFiles::forRunningProgram().documentationFile());
}

void TWillkommenPanel::Label2Click()
{
    PlayClickSound();
    RunIfExists(CompanionFiles::forRunningProgram().helpFile());
}

void TWillkommenPanel::Label3Click()
{
    PlayClickSound();
    OpenInShell(WebSiteAddress);
}

void TWillkommenPanel::ShowPresenterPicture()
{
    const QString path = CompanionFiles::forRunningProgram().presenterPicture();
    if (!QFileInfo::exists(path))
        return;
    const QImage picture = loadJpegImage(path);
    if (picture.isNull())
        return;
    ui->Image1->setPixmap(QPixmap::fromImage(picture));
    ui->Label39->setVisible(true);
}
