// The scene's system and display units.
#include "units.h"

#include <cmath>

namespace {

struct UnitState {
    int type = UNITS_INCHES;
    float scale = 1.0f;
    DispInfo disp;
};

UnitState& State() {
    static UnitState s;
    return s;
}

}  // namespace

double GetInchesPerUnit(int type) {
    constexpr double mm = 1.0 / 25.4;
    switch (type) {
        case UNITS_INCHES:
            return 1.0;
        case UNITS_FEET:
            return 12.0;
        case UNITS_MILES:
            return 63360.0;  // 5280 ft
        case UNITS_MILLIMETERS:
            return mm;
        case UNITS_CENTIMETERS:
            return 10.0 * mm;
        case UNITS_METERS:
            return 1000.0 * mm;
        case UNITS_KILOMETERS:
            return 1000000.0 * mm;
        default:
            return -1.0;
    }
}

int GetMasterUnitInfo(int* type, float* scale) {
    if (type) *type = State().type;
    if (scale) *scale = State().scale;
    return 1;
}

int SetMasterUnitInfo(int type, float scale) {
    if (GetInchesPerUnit(type) < 0.0 || !std::isfinite(scale) || scale <= 0.0f) return 0;
    State().type = type;
    State().scale = scale;
    return 1;
}

double GetMasterScale(int type) {
    const double target = GetInchesPerUnit(type);
    if (target < 0.0) return -1.0;
    return static_cast<double>(State().scale) * GetInchesPerUnit(State().type) / target;
}

int GetUnitDisplayType() { return State().disp.dispType; }

int SetUnitDisplayType(int type) {
    if (type < UNITDISP_GENERIC || type > UNITDISP_CUSTOM) return 0;
    State().disp.dispType = type;
    return 1;
}

int GetUnitDisplayInfo(DispInfo* info) {
    if (info) *info = State().disp;
    return 1;
}

int SetUnitDisplayInfo(DispInfo* info) {
    if (!info) return 0;
    const bool ok = info->dispType >= UNITDISP_GENERIC && info->dispType <= UNITDISP_CUSTOM &&
                    info->metricDisp >= UNIT_METRIC_DISP_MM &&
                    info->metricDisp <= UNIT_METRIC_DISP_KM &&
                    info->usDisp >= UNIT_US_DISP_FRAC_IN &&
                    info->usDisp <= UNIT_US_DISP_FT_DEC_IN && info->usFrac >= UNIT_FRAC_1_1 &&
                    info->usFrac <= UNIT_FRAC_1_100 && GetInchesPerUnit(info->customUnit) > 0.0 &&
                    std::isfinite(info->customValue) && info->customValue > 0.0f;
    if (!ok) return 0;
    State().disp = *info;
    return 1;
}
