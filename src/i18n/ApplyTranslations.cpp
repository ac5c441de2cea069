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
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/BrowseForFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QRegularExpression>
#include <QTableWidget>
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

// A side button's caption that is wider than the button breaks at its last fitting blank,
// as the button has room for two lines under its glyph.
void caption(QToolButton *button, int number)
{
    QString text = Qutrans::get(number);
    const QFontMetrics metrics(button->font());
    const int room = button->width() - 6;
    if (metrics.horizontalAdvance(text) > room) {
        for (qsizetype blank = text.lastIndexOf(QLatin1Char(' ')); blank > 0;
             blank = text.lastIndexOf(QLatin1Char(' '), blank - 1)) {
            if (metrics.horizontalAdvance(text.left(blank)) <= room) {
                text[blank] = QLatin1Char('\n');
                break;
            }
        }
    }
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

void cell(QTableWidget *grid, int row, const QString &text)
{
    grid->setItem(row, 0, new QTableWidgetItem(text));
}

// A link word or picture that continues a translated sentence sits right after it.
void follow(QWidget *moved, const QLabel *leader, int gap)
{
    moved->move(leader->x() + leader->width() + gap, moved->y());
}

void mainWindow()
{
    TForm1 *f = Form1;
    f->setWindowTitle(Qutrans::get(1) + QLatin1Char(' ') + ProgramVersion + QLatin1Char(' ') +
                      Qutrans::get(2));
    // The desktop shows the window's own title; the application's name stands for the task bar's.
    QApplication::setApplicationName(Qutrans::get(1));

    caption(f->SpeedButton1, 6);
    caption(f->SpeedButton2, 7);
    caption(f->SpeedButton3, 8);
    caption(f->SpeedButton4, 9);
    caption(f->SpeedButton5, 10);
    caption(f->SpeedButton6, 11);
    caption(f->SpeedButton7, 12);
    caption(f->SpeedButton9, 14);

    oneLine(f->RichEdit1, 15);
    split(f->Memo1, 16);
    oneLine(f->RichEdit2, 17);
    split(f->Memo2, 18);
    caption(f->Label1, 19);
    caption(f->Label2, 20);
    caption(f->Label3, 21);
    for (QPushButton *next :
         f->findChildren<QPushButton *>(QRegularExpression(QStringLiteral("^BitBtn[1-7]$"))))
        caption(next, 22);

    cell(f->StringGrid1, 1, Qutrans::get(23));
    cell(f->StringGrid2, 1, ProgramVersion);
    cell(f->StringGrid1, 3, Qutrans::get(24));
    cell(f->StringGrid2, 3, Qutrans::get(25));
    cell(f->StringGrid1, 4, Qutrans::get(26));
    cell(f->StringGrid2, 4, Qutrans::get(27));
    cell(f->StringGrid1, 5, Qutrans::get(28));
    cell(f->StringGrid2, 5, Qutrans::get(0));
    cell(f->StringGrid1, 6, Qutrans::get(29));
    cell(f->StringGrid2, 6, QStringLiteral("Quendra"));
    cell(f->StringGrid1, 7, Qutrans::get(30));
    cell(f->StringGrid2, 7, Qutrans::get(31));
    caption(f->Label9, 21);
    caption(f->Label12, 195);
    caption(f->GroupBox1, 35);
    caption(f->GroupBox3, 38);
    caption(f->Label11, 1);
}

void securityPanel()
{
    TForm1 *f = Form1;
    oneLine(f->RichEdit3, 7);
    oneLine(f->Memo3, 39);
    caption(f->GroupBox4, 40);
    caption(f->GroupBox5, 41);
    caption(f->GroupBox6, 42);
    caption(f->GroupBox7, 43);
    caption(f->Label6, 44);
    caption(f->Label13, 45);
    follow(f->Image13, f->Label13, 2);
    caption(f->Label14, 46);
    caption(f->Label15, 47);
    caption(f->Label16, 52);
    follow(f->Label16, f->Label15, 5);
    caption(f->Label17, 48);
    caption(f->Label18, 49);
    caption(f->Label19, 50);
    caption(f->Label20, 51);
    caption(f->Label21, 52);
    follow(f->Label21, f->Label19, 5);
    caption(f->Label22, 52);
    follow(f->Label22, f->Label20, 5);
    caption(f->Label27, 53);
    caption(f->Label28, 54);
    caption(f->Label29, 55);
    follow(f->Image17, f->Label29, 2);
    caption(f->Label26, 56);
    caption(f->Label30, 57);
    caption(f->Label25, 52);
    follow(f->Label25, f->Label30, 5);
    caption(f->Label24, 58);
    caption(f->Label31, 59);
    caption(f->Label23, 52);
    follow(f->Label23, f->Label31, 5);
    caption(f->Label32, 60);
    caption(f->Label33, 61);
    caption(f->Label34, 62);
    caption(f->Label35, 63);
    caption(f->Label36, 64);
    caption(f->Label37, 65);
    caption(f->Label38, 52);
    follow(f->Label38, f->Label37, 5);
}

void otherPanels()
{
    TForm1 *f = Form1;
    caption(f->Label39, 93);

    // The cache panel's controls are its own; the texts reach them by name.
    TBrowsercachePanel *cache = f->BrowsercachePanel;
    oneLine(cache->findChild<QTextEdit *>(QStringLiteral("RichEdit4")), 113);
    oneLine(cache->findChild<QPlainTextEdit *>(QStringLiteral("Memo4")), 114);
    caption(cache->findChild<QGroupBox *>(QStringLiteral("GroupBox8")), 115);
    caption(cache->findChild<QLabel *>(QStringLiteral("Label40")), 116);
    caption(cache->findChild<QLabel *>(QStringLiteral("Label41")), 117);
    cache->ShowCountAndSize();

    TFavoritenPanel *favourites = f->FavoritenPanel;
    oneLine(favourites->findChild<QTextEdit *>(QStringLiteral("RichEdit5")), 124);
    oneLine(favourites->findChild<QPlainTextEdit *>(QStringLiteral("Memo5")), 125);
    caption(favourites->findChild<QGroupBox *>(QStringLiteral("GroupBox9")), 126);
    for (const auto &[name, text] : {std::pair{"Label43", 131},
                                     {"Label44", 132},
                                     {"Label47", 127},
                                     {"Label49", 128},
                                     {"Label5", 129},
                                     {"Label48", 130}})
        caption(favourites->findChild<QLabel *>(QLatin1String(name)), text);

    oneLine(f->RichEdit6, 139);
    oneLine(f->Memo6, 140);
    caption(f->Label46, 52);
    caption(f->Label60, 52);
    caption(f->Label53, 52);
    caption(f->Label7, 141);
    caption(f->Label45, 142);
    follow(f->Label46, f->Label45, 5);
    caption(f->Label63, 144);
    caption(f->Label62, 145);
    follow(f->Image36, f->Label62, 4);
    caption(f->Label57, 144);
    caption(f->Label64, 145);
    follow(f->Image40, f->Label64, 4);
    caption(f->Label58, 146);
    caption(f->Label59, 147);
    follow(f->Label60, f->Label59, 5);
    caption(f->CheckBox1, 148);
    caption(f->Label51, 149);
    caption(f->Label52, 150);
    follow(f->Label53, f->Label52, 5);
    caption(f->CheckBox3, 151);
    caption(f->Label55, 188);
    caption(f->Label56, 189);
    follow(f->Image37, f->Label56, 4);
    f->BrowseForFolderDialog1->Title = Qutrans::get(156);
    f->OpenDialog1->setWindowTitle(Qutrans::get(157));

    oneLine(f->RichEdit7, 158);
    oneLine(f->Memo7, 159);
    split(f->Memo8, 160);
    caption(f->CheckBox4, 161);
    caption(f->CheckBox5, 162);
    caption(f->CheckBox6, 163);
    caption(f->CheckBox7, 164);
    caption(f->CheckBox8, 165);
    caption(f->CheckBox9, 166);
}

void auxiliaryWindows()
{
    caption(Form2->Label1, 1);
    Form2->setWindowTitle(Qutrans::get(1));

    caption(Form5->Label1, 1);
    Form5->setWindowTitle(Qutrans::get(1));
    caption(Form5->BitBtn2, 22);
    caption(Form5->GroupBox1, 69);
}

void listWindows()
{
    TCookieForm *c = CookieForm;
    c->setWindowTitle(Qutrans::get(1));
    caption(c->Label1, 70);
    caption(c->Label2, 71);
    caption(c->Label3, 72);
    caption(c->Label4, 73);
    caption(c->Label5, 75);
    caption(c->Label6, 74);
    caption(c->GroupBox1, 76);
    caption(c->BitBtn1, 77);

    THistoryForm *h = HistoryForm;
    h->setWindowTitle(Qutrans::get(1));
    caption(h->Label17, 84);
    caption(h->Label1, 85);
    caption(h->Label6, 88);
    caption(h->BitBtn1, 77);

    ShowMessage2Form->setWindowTitle(Qutrans::get(1));
    caption(ShowMessage2Form->BitBtn2, 22);

    TTypedURLsForm *t = TypedURLsForm;
    t->setWindowTitle(Qutrans::get(1));
    caption(t->Label17, 94);
    caption(t->Label1, 95);
    caption(t->Label6, 96);
    caption(t->BitBtn1, 77);

    TMruForm *m = MruForm;
    m->setWindowTitle(Qutrans::get(1));
    caption(m->BitBtn1, 77);
    caption(m->Label17, 104);
    caption(m->Label1, 105);
    caption(m->Label6, 106);
    caption(m->Label7, 107);
    caption(m->Label8, 108);
    caption(m->Label9, 109);
    caption(m->Label10, 110);
    caption(m->Label11, 111);
    caption(m->Label12, 112);
}

void editingWindows()
{
    TURLChangeForm *u = URLChangeForm;
    u->setWindowTitle(Qutrans::get(1));
    for (const auto &[name, text] :
         {std::pair{"Label1", 134}, {"Label3", 135}, {"Label5", 136}, {"Label4", 137}})
        caption(u->findChild<QLabel *>(QLatin1String(name)), text);

    TChangeStartPageForm *s = ChangeStartPageForm;
    s->setWindowTitle(Qutrans::get(1));
    caption(s->Label3, 135);
    caption(s->Label5, 136);
    caption(s->Label4, 137);

    TForm6 *a = Form6;
    a->setWindowTitle(Qutrans::get(1));
    caption(a->CheckBox2, 143);
    caption(a->Label55, 144);
    caption(a->Label56, 145);
    follow(a->Image38, a->Label56, 4);
    caption(a->CheckBox1, 190);
    caption(a->Label1, 191);
    caption(a->Label2, 192);
    caption(a->CheckBox3, 193);
    caption(a->Label3, 144);
    caption(a->Label4, 145);
    follow(a->Image4, a->Label4, 4);
    caption(a->BitBtn5, 77);
}

} // namespace

void ApplyTranslations()
{
    WebSiteAddress = Qutrans::get(3);
    MailAddress = QStringLiteral("mailto:") + Qutrans::get(4);
    mainWindow();
    securityPanel();
    otherPanels();
    auxiliaryWindows();
    listWindows();
    editingWindows();
}
