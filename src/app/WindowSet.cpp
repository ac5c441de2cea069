#include "app/WindowSet.h"

TForm1 *Form1 = nullptr;
TForm3 *Form3 = nullptr;
TForm6 *Form6 = nullptr;
TForm2 *Form2 = nullptr;
TForm4 *Form4 = nullptr;
TForm5 *Form5 = nullptr;
TCookieForm *CookieForm = nullptr;
THistoryForm *HistoryForm = nullptr;
TShowMessage2Form *ShowMessage2Form = nullptr;
TTypedURLsForm *TypedURLsForm = nullptr;
TMruForm *MruForm = nullptr;
TURLChangeForm *URLChangeForm = nullptr;
TChangeStartPageForm *ChangeStartPageForm = nullptr;
