// Layouts and control ids of the wizard pages (res/pages.rc). Shared by the page classes
// and their tests, so a renumbered control breaks the build, not a user's click.
#pragma once

#define IDD_PAGE_START 102
#define IDD_PAGE_INFO 104
#define IDD_PAGE_TWO_OPTIONS 105
#define IDD_PAGE_PROGRESS 106
#define IDD_PAGE_FOLDER 111
#define IDD_PAGE_CIRCUIT_FOLDER 112
#define IDB_PAGE_HEADER 133
#define IDB_PAGE_HEADER_2X 134  // the same picture at twice the size, for 120 DPI and more
#define IDI_SETUP 128

// every page
#define IDC_PAGE_HEADER 1060
#define IDC_PAGE_TITLE 1029
#define IDC_PAGE_MESSAGE 1028
#define IDC_PAGE_SEPARATOR 1011
#define IDC_PAGE_HELP 1048
#define IDC_PAGE_BACK 1015
#define IDC_PAGE_NEXT 1035
#define IDC_PAGE_CANCEL 1019

// start page
#define IDC_START_LANGUAGE_FRAME 1009
#define IDC_START_LANGUAGES 1000
#define IDC_START_LANGUAGE_LABEL 1036
#define IDC_START_COMMAND_FRAME 1053
#define IDC_START_COMMAND1 1037
#define IDC_START_EXPLANATION1 1024
#define IDC_START_COMMAND2 1014
#define IDC_START_EXPLANATION2 1025
#define IDC_START_COMMAND3 1027
#define IDC_START_EXPLANATION3 1013

// choice, information and folder pages
#define IDC_PAGE_FRAME 1018
#define IDC_OPTION1 1032
#define IDC_OPTION2 1033
#define IDC_INFO_TEXT 1049
#define IDC_FOLDER_EDIT 1046
#define IDC_FOLDER_BROWSE 1047
#define IDC_STANDARD_FOLDER_CHECK 1051
#define IDC_STANDARD_FOLDER 1049
#define IDC_USER_FOLDER_LABEL 1050

// progress page
#define IDC_PROGRESS_FRAME 1004
#define IDC_PROGRESS_BAR 1002
#define IDC_PROGRESS_FILE_SIZE 1039
#define IDC_PROGRESS_LEFT_TIME 1040
#define IDC_PROGRESS_RATE 1042
#define IDC_PROGRESS_OPTION 1038
