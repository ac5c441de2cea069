#include "panels/u_URLChangeForm.h"

#include "ui_u_URLChangeForm.h"

#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/FileCalls.h"
#include "platform/shell/InternetShortcut.h"

#include <QLocale>

#include <stdexcept>

namespace {

// The texts shown when a file is not an internet shortcut and when the address is empty.
constexpr int NotAnInternetShortcutText = 202;
constexpr int EmptyAddressText = 203;

} // namespace

TURLChangeForm::TURLChangeForm(QWidget *parent) : QDialog(parent), ui(new Ui::TURLChangeForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    // "Web address:" names the edit box to assistive technology.
    ui->Label3->setBuddy(ui->Edit1);
    connect(ui->Label5, &ClickLabel::clicked, this, &TURLChangeForm::Label5Click);
    connect(ui->Label4, &ClickLabel::clicked, this, &TURLChangeForm::Label4Click);
}

TURLChangeForm::~TURLChangeForm() = default;

void TURLChangeForm::ShowLink(const QString &caption, const QString &url)
{
    StoredLayout::setCaption(ui->Label2, caption);
    ui->Edit1->setText(url);
}

// Saving writes the two-line internet-shortcut format, so only such a file is offered.
void TURLChangeForm::EditLink(const QString &linkFileName)
{
    if (!isInternetShortcutFile(linkFileName)) {
        ShowMessage2(Qutrans::get(NotAnInternetShortcutText));
        return;
    }
    m_linkFileName = linkFileName;
    exec();
}

QString TURLChangeForm::linkCaption() const
{
    return ui->Label2->text();
}

QString TURLChangeForm::address() const
{
    return ui->Edit1->text();
}

void TURLChangeForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TURLChangeForm::FormShow()
{
    ui->Label2->resize(289, ui->Label2->height());
    OriginalUrl = ui->Edit1->text();
}

void TURLChangeForm::Label5Click()
{
    PlayClickSound();
    if (win::FileExists(m_linkFileName)) {
        const QString typed = ui->Edit1->text();
        // A reader takes a blank value for no address at all; the window stays open to mend it.
        if (typed.trimmed().isEmpty()) {
            ShowMessage2(Qutrans::get(EmptyAddressText));
            return;
        }
        const QLocale locale = QLocale::system();
        QString reason;
        if (locale.toUpper(OriginalUrl) != locale.toUpper(typed) &&
            !writeInternetShortcutFile(m_linkFileName, typed, &reason))
            throw std::runtime_error(reason.toStdString());
        ShowMessage2(Qutrans::get(138));
    }
    close();
}

void TURLChangeForm::Label4Click()
{
    PlayClickSound();
    close();
}
