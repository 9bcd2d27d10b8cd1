// Resource and command ids of the reference client. They stay clear of the
// plug-in's ids (its templates are found after the executable's own).

#ifndef KITECLIENT_RESOURCE_H
#define KITECLIENT_RESOURCE_H

// Files shipped inside the executable
#define IDR_KITE_ICON 101

// Child windows of the main window
#define IDC_MAIN_TABS 30001
#define IDC_MAIN_STATUSBAR 30002
#define IDC_MAIN_CALLPAGE 30003
#define IDC_MAIN_RECORDPAGE 30004

// Call page
#define IDC_CALL_IDENTITY 30101
#define IDC_CALL_SERVER 30102
#define IDC_CALL_CONTACTS_LABEL 30103
#define IDC_CALL_CONTACTS 30104

// Record page
#define IDC_RECORD_TITLE 30201
#define IDC_RECORD_LIST 30202
#define IDC_RECORD_SETTLE 30203
#define IDC_RECORD_SHOW_MISSED 30204
#define IDC_RECORD_SHOW_MESSAGES 30205
#define IDC_RECORD_EMPTY 30206

// Menu commands
#define ID_CLIENT_LOGIN 31001
#define ID_CLIENT_LOGOUT 31002
#define ID_CLIENT_LOCK 31003
#define ID_CLIENT_EXIT 31004
#define ID_VIEW_LOGIN 31101
#define ID_VIEW_CALL 31102
#define ID_VIEW_MISSED 31103
#define ID_VIEW_MESSAGES 31104
#define ID_DEMO_MISSED_CALL 31201
#define ID_DEMO_MESSAGE 31202
#define ID_DEMO_MULTIUSER 31204
// One command per language file, from ID_LANGUAGE_FIRST on.
#define ID_LANGUAGE_FIRST 31300
#define ID_LANGUAGE_LAST 31399

#endif // KITECLIENT_RESOURCE_H
