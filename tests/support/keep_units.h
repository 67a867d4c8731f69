// The master unit is process-wide and a scene file sets it: a fixture holding one of these puts
// the unit of before the test back after it.
#pragma once

#include "units.h"

namespace support {

class KeepUnits {
public:
    KeepUnits() { GetMasterUnitInfo(&type_, &scale_); }
    ~KeepUnits() { SetMasterUnitInfo(type_, scale_); }
    KeepUnits(const KeepUnits&) = delete;
    KeepUnits& operator=(const KeepUnits&) = delete;
    int Type() const { return type_; }

private:
    int type_ = 0;
    float scale_ = 1.0f;
};

}  // namespace support
