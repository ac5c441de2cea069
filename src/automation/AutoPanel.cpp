#include "automation/AutoPanel.h"

#include "ui_AutoPanel.h"

#include "cleanup/Cleaners.h"

TAutoPanel::TAutoPanel(QWidget *parent)
    : QFrame(parent), ui(new Ui::TAutoPanel), CheckBox10(new QCheckBox(this))
{
    ui->setupUi(this);
    // Below the closing message's box, in the room the stored layout leaves.
    CheckBox10->setObjectName(QStringLiteral("CheckBox10"));
    CheckBox10->setGeometry(20, 368, 440, 19);
    CheckBox10->setFont(ui->CheckBox9->font());
    QWidget::setTabOrder(ui->CheckBox9, CheckBox10);
    connect(CheckBox10, &QCheckBox::toggled, this, &TAutoPanel::CheckBox4Click);
    // Only the user's ticks change the start-up entries: showing the stored choice never does.
    for (const auto &[box, letter] : boxes())
        connect(box, &QCheckBox::toggled, this, &TAutoPanel::CheckBox4Click);
    connect(ui->BitBtn6, &QPushButton::clicked, this, &TAutoPanel::nextClicked);
    connect(ui->AniIcon6, &TAniIcon::clicked, this, &TAutoPanel::logoClicked);
}

TAutoPanel::~TAutoPanel() = default;

// The boxes in the order of the clean-ups' letters, which the panel offers but "r".
QList<std::pair<QCheckBox *, QChar>> TAutoPanel::boxes() const
{
    const QString letters = cleanup::letters();
    const QList<QCheckBox *> boxes{ui->CheckBox4, ui->CheckBox5, ui->CheckBox6,
                                   ui->CheckBox7, ui->CheckBox8, ui->CheckBox9};
    QList<std::pair<QCheckBox *, QChar>> paired;
    for (int i = 0; i < boxes.size(); ++i)
        paired.append({boxes[i], letters.at(i)});
    return paired;
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

bool TAutoPanel::AllPrefixesChosen() const
{
    return CheckBox10->isChecked();
}

void TAutoPanel::TickAllPrefixes(bool everyPrefix)
{
    const QSignalBlocker quiet(CheckBox10);
    CheckBox10->setChecked(everyPrefix);
}

// Storing the choice is the window set's business: the shortcut is the main window's.
void TAutoPanel::CheckBox4Click()
{
    emit choiceChanged(ChosenLetters());
}
