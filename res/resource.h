// Resource ids of Quorlin: read by the resource compiler and by the program.
// The numbers are fixed: the windows look their pictures and controls up by them.
#pragma once

// ---- Application ---------------------------------------------------------------------
#define IDI_QUORLIN  128  // application icon (icon group)
#define IDS_ABOUTBOX 101  // system menu entry of the shell frame
#define IDM_ABOUTBOX 0x0010

// ---- Dialog templates ------------------------------------------------------------------
#define IDD_ABOUTBOX            100
#define IDD_SHELL_FRAME         102  // CTessaroQuorlinDlg
#define IDD_PROGRESS_CHILD      129  // CExecutePromptChildDlg
#define IDD_PROGRESS_FRAME      130  // CExecutePromptDlg
#define IDD_SURVEY_CHILD        131  // CProblemSolvingFeedbackChildDlg
#define IDD_SURVEY_FRAME        132  // CProblemSolvingFeedbackDlg
#define IDD_PROMPT_CHILD        133  // CPromptChildDlg
#define IDD_PROMPT_FRAME        134  // CPromptDlg
#define IDD_AGREEMENT_CHILD     135  // CTooltipChildDlg
#define IDD_AGREEMENT_FRAME     136  // CTooltipDlg
#define IDD_MAIN                137  // CQuorlinDlg
#define IDD_SELECT_DISK_CHILD   207  // CSelectDiskChildDlg
#define IDD_SELECT_DISK_FRAME   208  // CSelectDiskDlg
#define IDD_SAVE_LOCATION_FRAME 210  // CSelectSaveDiskDlg
#define IDD_SAVE_LOCATION_CHILD 211  // CSelectSaveDiskChildDlg
#define IDD_KEY_INPUT_CHILD     212  // CInputDecryptionPassowrdChildDlg
#define IDD_KEY_INPUT_FRAME     213  // CInputDecryptionPassowrdDlg
#define IDD_TURN_OFF_CHILD      214  // CCloseEncryptedDiskChildDlg
#define IDD_TURN_OFF_FRAME      215  // CCloseEncryptedDiskDlg

// ---- Controls --------------------------------------------------------------------------
// Progress prompt child.
#define IDC_PROGRESS_TEXT         1000
// Problem-solved survey child.
#define IDC_SURVEY_MORE           1001
#define IDC_SURVEY_CLOSE          1002
#define IDC_SURVEY_SOLVED         1003
#define IDC_SURVEY_UNSOLVED       1004
// Message prompt child.
#define IDC_PROMPT_CLOSE          1005
#define IDC_PROMPT_TEXT           1006
#define IDC_PROMPT_LEFT           1007
#define IDC_PROMPT_RIGHT          1008
// Agreement viewer child.
#define IDC_AGREEMENT_TEXT        1009
// Main window.
#define IDC_MAIN_CLOSE            1005
#define IDC_MAIN_TURN_OFF         1010
#define IDC_MAIN_MINIMISE         1012
#define IDC_MAIN_MORE_TOOLS       1013
#define IDC_MAIN_AGREE            1014
#define IDC_MAIN_VERSION          1015
#define IDC_MAIN_AGREEMENT_LINK   1016
#define IDC_MAIN_FEEDBACK_LINK    1017
#define IDC_MAIN_SAVE_KEY         1018
#define IDC_MAIN_UNLOCK           1019
// Target volume chooser child.
#define IDC_SELECT_DISK_CLOSE     1010
#define IDC_SELECT_DISK_LIST      1020  // created at run time
#define IDC_SELECT_DISK_OK        1021
#define IDC_SELECT_DISK_CANCEL    1022
// Key file location chooser child.
#define IDC_SAVE_LOCATION_BROWSE  1010
#define IDC_SAVE_LOCATION_PATH    1023
#define IDC_SAVE_LOCATION_CLOSE   1024
#define IDC_SAVE_LOCATION_OK      1025
#define IDC_SAVE_LOCATION_WARNING 1026
// Recovery key input child.
#define IDC_KEY_INPUT_EDIT        1023
#define IDC_KEY_INPUT_CLOSE       1027
#define IDC_KEY_INPUT_OK          1028
#define IDC_KEY_INPUT_CAPTION     1032
// Turn-off chooser child.
#define IDC_TURN_OFF_CLOSE        1010
#define IDC_TURN_OFF_OK           1030
#define IDC_TURN_OFF_CANCEL       1031
#define IDC_TURN_OFF_LIST         1537  // created at run time

// ---- Bitmap ----------------------------------------------------------------------------
#define IDB_SCROLLBAR_SKIN 185  // 117 x 39, 9 x 3 tiles of 13 x 13

// ---- PNG pictures (resource type "PNG") ------------------------------------------------
#define IDB_SHELL_FRAME             138
#define IDB_MAIN_BACKGROUND         139
#define IDB_CHECKBOX_STRIP          140
#define IDB_MAIN_CLOSE_NORMAL       143
#define IDB_MAIN_CLOSE_HOVER        144
#define IDB_MAIN_CLOSE_PRESSED      145
#define IDB_MAIN_CLOSE_DISABLED     146
#define IDB_PROGRESS_FRAME          147
#define IDB_PROGRESS_BACKGROUND     148
#define IDB_MAIN_MINIMISE_NORMAL    150
#define IDB_MAIN_MINIMISE_HOVER     151
#define IDB_MAIN_MINIMISE_PRESSED   152
#define IDB_MAIN_MINIMISE_DISABLED  153
#define IDB_MORE_SOLUTIONS_NORMAL   154
#define IDB_MORE_SOLUTIONS_HOVER    155
#define IDB_MORE_SOLUTIONS_PRESSED  156
#define IDB_MORE_SOLUTIONS_DISABLED 157
#define IDB_MORE_TOOLS_NORMAL       158
#define IDB_MORE_TOOLS_HOVER        159
#define IDB_MORE_TOOLS_PRESSED      160
#define IDB_MORE_TOOLS_DISABLED     161
#define IDB_PROMPT_FRAME            162
#define IDB_PROMPT_BACKGROUND       163
#define IDB_CANCEL_NORMAL           164
#define IDB_CANCEL_HOVER            165
#define IDB_CANCEL_PRESSED          166
#define IDB_CHILD_CLOSE_NORMAL      167
#define IDB_CHILD_CLOSE_HOVER       168
#define IDB_CHILD_CLOSE_PRESSED     169
#define IDB_NO_NORMAL               170
#define IDB_NO_HOVER                171
#define IDB_NO_PRESSED              172
#define IDB_CONFIRM_NORMAL          173
#define IDB_CONFIRM_HOVER           174
#define IDB_CONFIRM_PRESSED         175
#define IDB_YES_NORMAL              176
#define IDB_YES_HOVER               177
#define IDB_YES_PRESSED             178
#define IDB_SURVEY_FRAME            179
#define IDB_SURVEY_BACKGROUND       180
#define IDB_SURVEY_CLOSE_NORMAL     181
#define IDB_SURVEY_CLOSE_HOVER      182
#define IDB_SURVEY_CLOSE_PRESSED    183
#define IDB_SURVEY_CLOSE_DISABLED   184
#define IDB_SOLVED_NORMAL           186
#define IDB_SOLVED_HOVER            187
#define IDB_SOLVED_PRESSED          188
#define IDB_SOLVED_DISABLED         189
#define IDB_AGREEMENT_SHEET         190
#define IDB_UNSOLVED_NORMAL         191
#define IDB_UNSOLVED_HOVER          192
#define IDB_UNSOLVED_PRESSED        193
#define IDB_UNSOLVED_DISABLED       194
#define IDB_TURN_OFF_NORMAL         195
#define IDB_TURN_OFF_HOVER          196
#define IDB_TURN_OFF_PRESSED        197
#define IDB_TURN_OFF_DISABLED       198
#define IDB_UNLOCK_NORMAL           199
#define IDB_UNLOCK_HOVER            200
#define IDB_UNLOCK_PRESSED          201
#define IDB_UNLOCK_DISABLED         202
#define IDB_SAVE_KEY_NORMAL         203
#define IDB_SAVE_KEY_HOVER          204
#define IDB_SAVE_KEY_PRESSED        205
#define IDB_SAVE_KEY_DISABLED       206
#define IDB_HEADER_CHECKBOX_STRIP   209
#define IDB_DISK_CHOOSER_FRAME      216
#define IDB_DISK_CHOOSER_BACKGROUND 217
#define IDB_BROWSE_NORMAL           218
#define IDB_BROWSE_HOVER            219
#define IDB_BROWSE_PRESSED          220
#define IDB_BROWSE_DISABLED         221
