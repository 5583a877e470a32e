// Ids of the test dialogs of skin_test.cpp (skin_test.rc).
#pragma once

#define IDD_SKIN_TEST 9410
#define IDD_SKIN_EMPTY 9411

#define IDC_SKIN_LABEL 9421
#define IDC_SKIN_BUTTON 9422
#define IDC_SKIN_BUTTON_OFF 9423
#define IDC_SKIN_CHECK 9424
#define IDC_SKIN_RADIO 9425
#define IDC_SKIN_LIST 9426
