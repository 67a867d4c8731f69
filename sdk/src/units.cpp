// The scene's system unit.
#include "units.h"

#include <cmath>

namespace {

struct UnitState {
    int type = UNITS_INCHES;
    float scale = 1.0f;
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
