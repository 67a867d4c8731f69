// Units of measurement.
//
// The system unit ("1 unit = scale x type") says what one scene unit is; the display units say how
// lengths are shown. The host sets both (SetMasterUnitInfo, SetUnitDisplayInfo); the default is
// 1 unit = 1.0 inch and generic display.
//
// GetMasterScale(type) is the length of one system unit expressed in units of type: with the
// system unit 1 foot, GetMasterScale(UNITS_INCHES) is 12; with 1 metre, GetMasterScale(
// UNITS_CENTIMETERS) is 100. An invalid type gives -1.0. One inch is exactly 25.4 millimetres.
#pragma once

#include "strclass.h"

constexpr int UNITS_INCHES = 0;
constexpr int UNITS_FEET = 1;
constexpr int UNITS_MILES = 2;
constexpr int UNITS_MILLIMETERS = 3;
constexpr int UNITS_CENTIMETERS = 4;
constexpr int UNITS_METERS = 5;
constexpr int UNITS_KILOMETERS = 6;

// Display types and their options.
constexpr int UNITDISP_GENERIC = 0;
constexpr int UNITDISP_METRIC = 1;
constexpr int UNITDISP_US = 2;
constexpr int UNITDISP_CUSTOM = 3;

constexpr int UNIT_METRIC_DISP_MM = 0;
constexpr int UNIT_METRIC_DISP_CM = 1;
constexpr int UNIT_METRIC_DISP_M = 2;
constexpr int UNIT_METRIC_DISP_KM = 3;

constexpr int UNIT_US_DISP_FRAC_IN = 0;
constexpr int UNIT_US_DISP_DEC_IN = 1;
constexpr int UNIT_US_DISP_FRAC_FT = 2;
constexpr int UNIT_US_DISP_DEC_FT = 3;
constexpr int UNIT_US_DISP_FT_FRAC_IN = 4;
constexpr int UNIT_US_DISP_FT_DEC_IN = 5;

constexpr int UNIT_FRAC_1_1 = 0;
constexpr int UNIT_FRAC_1_2 = 1;
constexpr int UNIT_FRAC_1_4 = 2;
constexpr int UNIT_FRAC_1_8 = 3;
constexpr int UNIT_FRAC_1_10 = 4;
constexpr int UNIT_FRAC_1_16 = 5;
constexpr int UNIT_FRAC_1_32 = 6;
constexpr int UNIT_FRAC_1_64 = 7;
constexpr int UNIT_FRAC_1_100 = 8;

struct DispInfo {
    int dispType = UNITDISP_GENERIC;
    int metricDisp = UNIT_METRIC_DISP_M;
    int usDisp = UNIT_US_DISP_FT_FRAC_IN;
    int usFrac = UNIT_FRAC_1_8;
    MSTR customName = MSTR(_M("FL"));
    float customValue = 660.0f;
    int customUnit = UNITS_FEET;
};

// The system unit's type and scale; returns TRUE (1). Null pointers are skipped.
int GetMasterUnitInfo(int* type, float* scale);
// Sets the system unit; FALSE (0) and no change for an invalid type or a scale that is not a
// positive finite number.
int SetMasterUnitInfo(int type, float scale);
double GetMasterScale(int type);
// Inches in one unit of type, -1.0 for an invalid type (stand-in helper).
double GetInchesPerUnit(int type);

int GetUnitDisplayType();
// FALSE for an unknown display type.
int SetUnitDisplayType(int type);
// Copies the display settings into info (null is ignored); returns TRUE.
int GetUnitDisplayInfo(DispInfo* info);
// FALSE and no change for null or out-of-range settings.
int SetUnitDisplayInfo(DispInfo* info);
