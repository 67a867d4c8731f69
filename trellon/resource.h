// Identifiers of the module's resource file (trellon.res.json): string-table entries, dialog
// templates and the controls the parameter block binds. The texts and layouts live in the file.
#pragma once

// String table.
#define IDS_LIBDESCRIPTION 1
#define IDS_CATEGORY 2
#define IDS_CLASS_NAME 3
#define IDS_PARAMS_OBJECTS 5  // display name of item, pool and staging parameters
#define IDS_PARAMS_SWEEPS 6   // display name of sweep and camera parameters
#define IDS_PARAMS_COLOUR 7   // display name of colour and texture parameters
#define IDS_TITLE_ROLLOUT 8
#define IDS_SPLINE_ROLLOUT 9  // also the display name of path and layout parameters
#define IDS_SWEEPS_ROLLOUT 10
#define IDS_OBJECTS_ROLLOUT 11
#define IDS_COLOUR_ROLLOUT 12
#define IDS_EXPORT_ROLLOUT 13
#define IDS_ABOUT_ROLLOUT 14
#define IDS_DISPLAY_NONE 19  // the seven Display_Mode names, 19 to 25
#define IDS_DISPLAY_DOTS 20
#define IDS_DISPLAY_BOXES 21
#define IDS_DISPLAY_CLOUD 22
#define IDS_DISPLAY_PYRAMIDS 23
#define IDS_DISPLAY_PLACEHOLDERS 24
#define IDS_DISPLAY_FULL 25
// One line of meaning per parameter (its tooltip), at IDS_PARAM_MEANING + the parameter's ID.
#define IDS_PARAM_MEANING 1000

// Dialog templates.
#define IDD_SPLINE 101
#define IDD_ABOUT 102
#define IDD_TITLE 103
#define IDD_EXPORT 106
#define IDD_OBJECTS 107
#define IDD_COLOUR 109
#define IDD_SWEEPS 113

// Controls bound by the parameter block. The same number serves different controls in
// different templates, so a control is named by its kind and number.
#define IDC_RADIO_1008 1008
#define IDC_RADIO_1009 1009
#define IDC_RADIO_1013 1013
#define IDC_CHECK_1010 1010
#define IDC_CHECK_1011 1011
#define IDC_CHECK_1012 1012
#define IDC_CHECK_1014 1014
#define IDC_CHECK_1079 1079
#define IDC_CHECK_1104 1104
#define IDC_COMBO_1051 1051
#define IDC_EDIT_1049 1049
#define IDC_SPIN_1050 1050
#define IDC_EDIT_1039 1039
#define IDC_SPIN_1038 1038
#define IDC_EDIT_1040 1040
#define IDC_SPIN_1049 1049
#define IDC_EDIT_1053 1053
#define IDC_SPIN_1054 1054
#define IDC_EDIT_1036 1036
#define IDC_EDIT_1037 1037
#define IDC_EDIT_1038 1038
#define IDC_SLIDER_1032 1032
#define IDC_SLIDER_1033 1033
#define IDC_SLIDER_1034 1034
#define IDC_SLIDER_1035 1035

// Controls the rollouts' own procedures handle (ui/). Per template; the same number means
// different controls in different templates.
#define IDC_HELP 2000
// Spline rollout.
#define IDC_PICK_PATH 1001
#define IDC_ITEM_FILTER 1002
#define IDC_SWEEP_FILTER 1003
#define IDC_SPLINE_STEPS_EDIT 1016
#define IDC_SPLINE_STEPS_SPIN 1017
#define IDC_SELECT_ITEMS 1018
#define IDC_UPDATE_ITEMS 1019
// Object and sweep rollouts.
#define IDC_LIST 1002
#define IDC_PICK_ITEMS 1003
#define IDC_ADD_FROM_LIST 1004
#define IDC_DELETE_ROW 1005
#define IDC_SHIFT_UP 1006
#define IDC_SHIFT_DOWN 1007
#define IDC_ADD_NULL 1008
#define IDC_BOX_SIZE 1015
#define IDC_SEED_MIRROR 1018
#define IDC_SEED_TRANSFORMS 1089
#define IDC_MAKE_POST 1102
#define IDC_MAKE_END 1105
// Colour rollout.
#define IDC_SEED_COLOURS 1050
#define IDC_NAME_LIST 1042
#define IDC_NAME_EDIT 1043
#define IDC_NAME_ADD 1018
#define IDC_NAME_DELETE 1041
// Export rollout.
#define IDC_EXPORT 1001
// About rollout.
#define IDC_CREATED_BY 1021
#define IDC_MAKER 1022
#define IDC_WEB_SITE 1041
#define IDC_SOCIAL_FIRST 1080  // four buttons, 1080 to 1083

// Cursors of the pick modes.
#define IDC_CURSOR_PICK_SHAPE 105
#define IDC_CURSOR_PICK_ITEM 128
#define IDC_CURSOR_HIT_SHAPE 137
#define IDC_CURSOR_HIT_ITEM 138
