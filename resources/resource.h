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
#define IDC_ABOUT_RELEASE           1062
#define IDC_ABOUT_NOTICE            1063
#define IDC_ABOUT_NAME              1064
#define IDC_CHECKLIST_TEXT          1072

#define ID_APP_ABOUT                100
#define ID_HELP_OPEN                154
#define ID_SPEED_DIAL               155
#define ID_APP_EXIT                 32774
#define ID_UPDATE_CHECK             32776

#define IDC_STATIC                  -1
