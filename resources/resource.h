// Resource ids of the program, shared by the resource script and the code.
// Plain #define lines only: the resource compiler reads this file too.
#define IDD_ABOUTBOX                100
#define IDD_CORVALOPLUGIN_DIALOG    102
#define IDR_MAINFRAME               128
#define IDR_TRAY_MENU               131
#define IDI_OFFHOOK                 134
#define IDI_NOADAPTER               136
#define IDI_INITIALISING            137
#define IDI_READY                   144
#define IDD_SPEEDDIAL               155
#define IDD_CHECKLIST               165

#define IDC_CALL_STATUS             1006
#define IDC_STATUS_RECORD           1007
#define IDC_CHECKLIST_TEXT          1072

#define IDC_STATIC                  -1
