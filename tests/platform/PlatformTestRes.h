// Resource ids of the platform tests' resource script.
#pragma once

#define IDD_DRIVEN 100
#define IDD_INNER 101
#define IDD_CLASSED 102
#define IDD_OWNERDRAWN 103

#define IDC_NAME 1001
#define IDC_APPLY 1002
#define IDC_NESTED 1003
#define IDC_LABEL 1004
#define IDC_DRAWN 1005
#define IDC_LIST 1006
#define IDC_OPTION1 1010
#define IDC_OPTION2 1011
#define IDC_OPTION3 1012

#define IDB_PATTERN 200
