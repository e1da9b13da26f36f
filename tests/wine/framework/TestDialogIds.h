// Identifiers of the dialog template the framework tests run.
#pragma once

#define IDD_FRAMEWORK_TEST 1
#define IDD_MISSING 2
#define IDC_TEST_TEXT 1101
#define IDC_TEST_BUTTON 1102
#define IDC_TEST_COMBO 1103
#define IDC_TEST_PROGRESS 1104
#define IDC_TEST_PICTURE 1105
