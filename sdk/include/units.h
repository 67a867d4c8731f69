// Units of measurement.
//
// The system unit ("1 unit = scale x type") says what one scene unit is. The host sets it
// (SetMasterUnitInfo); the default is 1 unit = 1.0 inch.
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

// The system unit's type and scale; returns TRUE (1). Null pointers are skipped.
int GetMasterUnitInfo(int* type, float* scale);
// Sets the system unit; FALSE (0) and no change for an invalid type or a scale that is not a
// positive finite number.
int SetMasterUnitInfo(int type, float scale);
double GetMasterScale(int type);
// Inches in one unit of type, -1.0 for an invalid type (stand-in helper).
double GetInchesPerUnit(int type);
