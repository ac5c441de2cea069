#include "i18n/ApplyTranslations.h"

#include "app/ProgramVersion.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "i18n/Qutrans.h"
#include "panels/BrowsercachePanel.h"
#include "panels/FavoritenPanel.h"
#include "panels/u_URLChangeForm.h"
#include "platform/kernel/LogCategories.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/BrowseForFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>

QString WebSiteAddress;
QString MailAddress;

namespace {

void caption(QLabel *label, int number)
{
    StoredLayout::setCaption(label, Qutrans::get(number));
}

void caption(QAbstractButton *button, int number)
{
    button->setText(Qutrans::get(number));
}

// A side button's caption is the library's text as it stands; one that is wider than the button
// gets a smaller font until it fits, never a line break of its own.
void caption(QToolButton *button, int number)
{
    const QString text = Qutrans::get(number);
    const int room = button->width() - 6;
    const auto widest = [&text](const QFont &font) {
        const QFontMetrics metrics(font);
        int width = 0;
        for (const QString &line : text.split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        return width;
    };
    QFont font = button->font();
    font.setPixelSize(button->property("pixelHeight").toInt() > 0
                          ? button->property("pixelHeight").toInt()
                          : font.pixelSize());
    constexpr int smallestReadable = 8;
    while (widest(font) > room && font.pixelSize() > smallestReadable)
        font.setPixelSize(font.pixelSize() - 1);
    button->setFont(font);
    button->setText(text);
}

// Check boxes size themselves to their text like labels.
void caption(QCheckBox *box, int number)
{
    box->setText(Qutrans::get(number));
    box->adjustSize();
}

void caption(QGroupBox *box, int number)
{
    box->setTitle(Qutrans::get(number));
}

void oneLine(QTextEdit *edit, int number)
{
    edit->clear();
    edit->append(Qutrans::get(number));
    edit->setAlignment(edit->property("alignment").toString() == QLatin1String("center")
                           ? Qt::AlignHCenter
                           : Qt::AlignLeft);
}

// Appending leaves a memo scrolled to its end; it is read from the top.
void showFromTop(QPlainTextEdit *memo)
{
    memo->moveCursor(QTextCursor::Start);
    memo->ensureCursorVisible();
}

void oneLine(QPlainTextEdit *memo, int number)
{
    memo->clear();
    memo->appendPlainText(Qutrans::get(number));
    showFromTop(memo);
}

// Every piece between bytes 10 is a line, the one after the last byte 10 included.
void split(QPlainTextEdit *memo, int number)
{
    memo->clear();
    for (const QString &line : Qutrans::get(number).split(QLatin1Char('\n')))
        memo->appendPlainText(line);
    showFromTop(memo);
}

// The texts reach each control by its object name below its window or panel, whichever class
// holds its layout.
QWidget *named(const QObject *root, const char *name)
{
    auto *found = root->findChild<QWidget *>(QLatin1String(name));
    if (!found)
        qCWarning(lcUi) << "no control" << name << "below" << root->objectName();
    return found;
}

template <class Control> Control *named(const QObject *root, const char *name)
{
    return qobject_cast<Control *>(named(root, name));
}

// The caption of a control of any captioned kind.
void caption(const QObject *root, const char *name, int number)
{
    QWidget *control = named(root, name);
    if (auto *side = qobject_cast<QToolButton *>(control))
        caption(side, number);
    else if (auto *box = qobject_cast<QCheckBox *>(control))
        caption(box, number);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        caption(button, number);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        caption(group, number);
    else if (auto *label = qobject_cast<QLabel *>(control))
        caption(label, number);
    else if (control)
        qCWarning(lcUi) << "control" << name << "has no caption";
}

void captions(const QObject *root, std::initializer_list<std::pair<const char *, int>> table)
{
    for (const auto &[name, number] : table)
        caption(root, name, number);
}

template <class Edit> void oneLine(const QObject *root, const char *name, int number)
{
    if (auto *edit = named<Edit>(root, name))
        oneLine(edit, number);
}

void split(const QObject *root, const char *name, int number)
{
    if (auto *memo = named<QPlainTextEdit>(root, name))
        split(memo, number);
}

// What assistive technology calls a picture or a list that shows no caption of its own; a
// heading's trailing colon is not spoken.
void accessibleNames(const QObject *root, std::initializer_list<std::pair<const char *, int>> table)
{
    for (const auto &[name, number] : table) {
        if (QWidget *control = named(root, name))
            control->setAccessibleName(
                Qutrans::get(number).trimmed().remove(QRegularExpression(QStringLiteral(":$"))));
    }
}

void cell(QTableWidget *grid, int row, const QString &text)
{
    if (grid)
        grid->setItem(row, 0, new QTableWidgetItem(text));
}

// A link word or picture that continues a translated sentence sits right after it, and the
// sentence describes it to assistive technology ("hier" alone says little).
void follow(const QObject *root, const char *moved, const char *leader, int gap)
{
    QWidget *movedControl = named(root, moved);
    const auto *leaderControl = named<QLabel>(root, leader);
    if (!movedControl || !leaderControl)
        return;
    movedControl->move(leaderControl->x() + leaderControl->width() + gap, movedControl->y());
    movedControl->setAccessibleDescription(leaderControl->text());
}

QWidget *panel(const char *name)
{
    return named(Form1, name);
}

void mainWindow()
{
    Form1->setWindowTitle(Qutrans::get(1) + QLatin1Char(' ') + ProgramVersion + QLatin1Char(' ') +
                          Qutrans::get(2));
    // The desktop shows the window's own title; the application's name stands for the task bar's.
    QApplication::setApplicationName(Qutrans::get(1));

    captions(Form1, {{"SpeedButton1", 6},
                     {"SpeedButton2", 7},
                     {"SpeedButton3", 8},
                     {"SpeedButton4", 9},
                     {"SpeedButton5", 10},
                     {"SpeedButton6", 11},
                     {"SpeedButton7", 12},
                     {"SpeedButton9", 14},
                     {"PrefixLabel", 211}});
    for (QPushButton *next :
         Form1->findChildren<QPushButton *>(QRegularExpression(QStringLiteral("^BitBtn[1-7]$"))))
        caption(next, 22);
    // Every panel's logo leads to the web site.
    accessibleNames(Form1, {{"AniIcon1", 21},
                            {"AniIcon2", 21},
                            {"AniIcon3", 21},
                            {"AniIcon4", 21},
                            {"AniIcon5", 21},
                            {"AniIcon6", 21},
                            {"AniIcon7", 21}});
}

void welcomePanel()
{
    const QWidget *p = panel("WillkommenPanel");
    oneLine<QTextEdit>(p, "RichEdit1", 15);
    split(p, "Memo1", 16);
    oneLine<QTextEdit>(p, "RichEdit2", 17);
    split(p, "Memo2", 18);
    captions(p, {{"Label1", 19}, {"Label2", 20}, {"Label3", 21}, {"Label39", 93}});
}

void aboutPanel()
{
    const QWidget *p = panel("AboutPanel");
    auto *names = named<QTableWidget>(p, "StringGrid1");
    auto *values = named<QTableWidget>(p, "StringGrid2");
    cell(names, 1, Qutrans::get(23));
    cell(values, 1, ProgramVersion);
    cell(names, 3, Qutrans::get(24));
    cell(values, 3, Qutrans::get(25));
    cell(names, 4, Qutrans::get(26));
    cell(values, 4, Qutrans::get(27));
    cell(names, 5, Qutrans::get(28));
    cell(values, 5, Qutrans::get(0));
    cell(names, 6, Qutrans::get(29));
    cell(values, 6, QStringLiteral("Quendra"));
    cell(names, 7, Qutrans::get(30));
    cell(values, 7, Qutrans::get(31));
    captions(
        p,
        {{"Label9", 21}, {"Label12", 195}, {"GroupBox1", 35}, {"GroupBox3", 38}, {"Label11", 1}});
}

void securityPanel()
{
    const QWidget *p = panel("SicherheitsPanel");
    oneLine<QTextEdit>(p, "RichEdit3", 7);
    oneLine<QPlainTextEdit>(p, "Memo3", 39);
    captions(p, {{"GroupBox4", 40}, {"GroupBox5", 41}, {"GroupBox6", 42}, {"GroupBox7", 43},
                 {"Label6", 44},    {"Label13", 45},   {"Label14", 46},   {"Label15", 47},
                 {"Label16", 52},   {"Label17", 48},   {"Label18", 49},   {"Label19", 50},
                 {"Label20", 51},   {"Label21", 52},   {"Label22", 52},   {"Label27", 53},
                 {"Label28", 54},   {"Label29", 55},   {"Label26", 56},   {"Label30", 57},
                 {"Label25", 52},   {"Label24", 58},   {"Label31", 59},   {"Label23", 52},
                 {"Label32", 60},   {"Label33", 61},   {"Label34", 62},   {"Label35", 63},
                 {"Label36", 64},   {"Label37", 65},   {"Label38", 52}});
    follow(p, "Image13", "Label13", 2);
    follow(p, "Label16", "Label15", 5);
    follow(p, "Label21", "Label19", 5);
    follow(p, "Label22", "Label20", 5);
    follow(p, "Image17", "Label29", 2);
    follow(p, "Label25", "Label30", 5);
    follow(p, "Label23", "Label31", 5);
    follow(p, "Label38", "Label37", 5);
    accessibleNames(p, {{"Image13", 220}, {"Image17", 221}});
}

void cachePanel()
{
    const QWidget *cache = Form1->browsercachePanel();
    oneLine<QTextEdit>(cache, "RichEdit4", 113);
    oneLine<QPlainTextEdit>(cache, "Memo4", 114);
    // The count and size lines keep their stored captions until the panel is first filled.
    captions(cache, {{"GroupBox8", 115}, {"Label40", 116}, {"Label41", 117}});
    accessibleNames(cache, {{"ListBox2", 115}, {"Image20", 117}});
}

void favouritesPanel()
{
    const QWidget *p = Form1->favoritenPanel();
    oneLine<QTextEdit>(p, "RichEdit5", 124);
    oneLine<QPlainTextEdit>(p, "Memo5", 125);
    captions(p, {{"GroupBox9", 126},
                 {"Label43", 131},
                 {"Label44", 132},
                 {"Label47", 127},
                 {"Label49", 128},
                 {"Label5", 129},
                 {"Label48", 130}});
    accessibleNames(p, {{"FavoritesListView1", 126},
                        {"Image23", 127},
                        {"Image25", 128},
                        {"Image22", 129},
                        {"Image24", 130}});
}

void settingsPanel()
{
    const QWidget *p = panel("IEPowerPanel");
    oneLine<QTextEdit>(p, "RichEdit6", 139);
    oneLine<QPlainTextEdit>(p, "Memo6", 140);
    captions(p, {{"Label46", 52},
                 {"Label60", 52},
                 {"Label53", 52},
                 {"Label7", 141},
                 {"Label45", 142},
                 {"Label63", 144},
                 {"Label62", 145},
                 {"Label57", 144},
                 {"Label64", 145},
                 {"Label58", 146},
                 {"Label59", 147},
                 {"CheckBox1", 148},
                 {"Label51", 149},
                 {"Label52", 150},
                 {"CheckBox3", 151},
                 {"Label55", 188},
                 {"Label56", 189}});
    follow(p, "Label46", "Label45", 5);
    follow(p, "Image36", "Label62", 4);
    follow(p, "Image40", "Label64", 4);
    follow(p, "Label60", "Label59", 5);
    follow(p, "Label53", "Label52", 5);
    follow(p, "Image37", "Label56", 4);
    accessibleNames(p, {{"Image36", 222}, {"Image40", 223}, {"Image37", 224}});
    // The start page link shows the address alone, or nothing when there is none.
    if (QWidget *startPage = named(p, "Label50"))
        startPage->setAccessibleDescription(Qutrans::get(141));
    TIEPowerPanel *settings = Form1->iePowerPanel();
    settings->BrowseForFolderDialog1->Title = Qutrans::get(156);
    settings->OpenDialog1->setWindowTitle(Qutrans::get(157));
}

void automationPanel()
{
    const QWidget *p = panel("AutoPanel");
    oneLine<QTextEdit>(p, "RichEdit7", 158);
    oneLine<QPlainTextEdit>(p, "Memo7", 159);
    split(p, "Memo8", 160);
    captions(p, {{"CheckBox4", 161},
                 {"CheckBox5", 162},
                 {"CheckBox6", 163},
                 {"CheckBox7", 164},
                 {"CheckBox8", 165},
                 {"CheckBox9", 166},
                 {"CheckBox10", 212}});
}

void titled(QWidget *window)
{
    window->setWindowTitle(Qutrans::get(1));
}

void auxiliaryWindows()
{
    captions(Form2, {{"Label1", 1}});
    titled(Form2);
    captions(Form5, {{"Label1", 1}, {"BitBtn2", 22}, {"GroupBox1", 69}});
    titled(Form5);
}

void listWindows()
{
    titled(CookieForm);
    accessibleNames(CookieForm, {{"ListBox1", 40}});
    accessibleNames(HistoryForm, {{"StringGrid1", 41}});
    accessibleNames(TypedURLsForm, {{"ListBox2", 42}});
    accessibleNames(MruForm, {{"ListBox2", 43}});
    captions(CookieForm, {{"Label1", 70},
                          {"Label2", 71},
                          {"Label3", 72},
                          {"Label4", 73},
                          {"Label5", 75},
                          {"Label6", 74},
                          {"GroupBox1", 76},
                          {"CheckBox1", 214},
                          {"BitBtn1", 77}});
    titled(HistoryForm);
    captions(HistoryForm, {{"Label17", 84}, {"Label1", 85}, {"Label6", 88}, {"BitBtn1", 77}});
    titled(ShowMessage2Form);
    captions(ShowMessage2Form, {{"BitBtn2", 22}});
    titled(TypedURLsForm);
    captions(TypedURLsForm, {{"Label17", 94}, {"Label1", 95}, {"Label6", 96}, {"BitBtn1", 77}});
    titled(MruForm);
    captions(MruForm, {{"BitBtn1", 77},
                       {"Label17", 104},
                       {"Label1", 105},
                       {"Label6", 106},
                       {"Label7", 107},
                       {"Label8", 108},
                       {"Label9", 109},
                       {"Label10", 110},
                       {"Label11", 111},
                       {"Label12", 112}});
}

void editingWindows()
{
    titled(URLChangeForm);
    captions(URLChangeForm, {{"Label1", 134}, {"Label3", 135}, {"Label5", 136}, {"Label4", 137}});
    titled(ChangeStartPageForm);
    captions(ChangeStartPageForm, {{"Label3", 135}, {"Label5", 136}, {"Label4", 137}});
    titled(Form6);
    captions(Form6, {{"CheckBox2", 143},
                     {"Label55", 144},
                     {"Label56", 145},
                     {"CheckBox1", 190},
                     {"Label1", 191},
                     {"Label2", 192},
                     {"CheckBox3", 193},
                     {"Label3", 144},
                     {"Label4", 145},
                     {"BitBtn5", 77}});
    follow(Form6, "Image38", "Label56", 4);
    follow(Form6, "Image4", "Label4", 4);
    accessibleNames(Form6, {{"Image38", 225}, {"Image4", 226}});
}

} // namespace

void ApplyTranslations()
{
    WebSiteAddress = Qutrans::get(3);
    MailAddress = QStringLiteral("mailto:") + Qutrans::get(4);
    mainWindow();
    welcomePanel();
    securityPanel();
    cachePanel();
    favouritesPanel();
    settingsPanel();
    automationPanel();
    aboutPanel();
    auxiliaryWindows();
    listWindows();
    editingWindows();
}
