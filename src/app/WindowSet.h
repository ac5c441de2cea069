#pragma once

// The program's windows: one instance each, created once at start-up in this order and kept
// until the process ends (the splash window excepted, which start-up destroys).
class TForm1;
class TForm3;
class TForm6;
class TForm2;
class TForm4;
class TForm5;
class TCookieForm;
class THistoryForm;
class TShowMessage2Form;
class TTypedURLsForm;
class TMruForm;
class TURLChangeForm;
class TChangeStartPageForm;

extern TForm1 *Form1;
extern TForm3 *Form3;
extern TForm6 *Form6;
extern TForm2 *Form2;
extern TForm4 *Form4;
extern TForm5 *Form5;
extern TCookieForm *CookieForm;
extern THistoryForm *HistoryForm;
extern TShowMessage2Form *ShowMessage2Form;
extern TTypedURLsForm *TypedURLsForm;
extern TMruForm *MruForm;
extern TURLChangeForm *URLChangeForm;
extern TChangeStartPageForm *ChangeStartPageForm;
