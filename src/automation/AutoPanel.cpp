#include "automation/AutoPanel.h"

#include "ui_AutoPanel.h"

#include "automation/Automations.h"

TAutoPanel::TAutoPanel(QWidget *parent) : QFrame(parent), ui(new Ui::TAutoPanel)
{
    ui->setupUi(this);
    // Ticks set by code count as clicks too: loading the choice rewrites the shortcut.
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

// Each tick rewrites the shortcut with the boxes ticked so far.
void TAutoPanel::TickLetters(const QString &letters)
{
    for (const auto &[box, letter] : boxes()) {
        if (letters.contains(letter))
            box->setChecked(true);
    }
}

void TAutoPanel::CheckBox4Click()
{
    const QString letters = ChosenLetters();
    // A closing message with nothing to clean is no automation.
    if (letters.isEmpty() || letters == QLatin1String("n"))
        RemoveAutostartLinks();
    else
        CreateAutostartLink(letters);
}
