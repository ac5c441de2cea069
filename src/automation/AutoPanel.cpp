#include "automation/AutoPanel.h"

#include "ui_AutoPanel.h"

#include "automation/Automations.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"

TAutoPanel::TAutoPanel(QWidget *parent) : QFrame(parent), ui(new Ui::TAutoPanel)
{
    ui->setupUi(this);
    // Only the user's ticks change the start-up entries: showing the stored choice never does.
    for (const auto &[box, letter] : boxes())
        connect(box, &QCheckBox::toggled, this, &TAutoPanel::CheckBox4Click);
    connect(ui->BitBtn6, &QPushButton::clicked, this, &TAutoPanel::nextClicked);
    connect(ui->AniIcon6, &TAniIcon::clicked, this, &TAutoPanel::logoClicked);
}

TAutoPanel::~TAutoPanel() = default;

QList<std::pair<QCheckBox *, QChar>> TAutoPanel::boxes() const
{
    return {{ui->CheckBox4, QLatin1Char('c')}, {ui->CheckBox5, QLatin1Char('b')},
            {ui->CheckBox6, QLatin1Char('h')}, {ui->CheckBox7, QLatin1Char('m')},
            {ui->CheckBox8, QLatin1Char('e')}, {ui->CheckBox9, QLatin1Char('n')}};
}

QString TAutoPanel::ChosenLetters() const
{
    QString letters;
    for (const auto &[box, letter] : boxes()) {
        if (box->isChecked())
            letters += letter;
    }
    return letters;
}

void TAutoPanel::TickLetters(const QString &letters)
{
    for (const auto &[box, letter] : boxes()) {
        const QSignalBlocker quiet(box);
        box->setChecked(letters.contains(letter));
    }
}

void TAutoPanel::CheckBox4Click()
{
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    const QString letters = ChosenLetters();
    // A closing message with nothing to clean is no automation.
    const bool stored = letters.isEmpty() || letters == QLatin1String("n")
                            ? RemoveAutostartLinks()
                            : CreateAutostartLink(letters);
    if (stored)
        return;
    // The boxes show what the start-up entries really hold; Wine's running server, just named
    // as the reason, says the rest.
    LoadAutomationChoices();
    if (noticeBefore || !ReadOnlyNotice::wasGiven())
        ShowMessage2(Qutrans::get(210));
}
