// The host's version numbers, as the SDK's plugapi.h and maxversion.h define them for
// 3ds Max 2020: release 22000, API 55, SDK revision 0. A module reports VERSION_3DSMAX from
// LibVersion; the host refuses a module built against another API.
#pragma once

#define MAX_RELEASE 22000
#define MAX_API_NUM 55
#define MAX_SDK_REV 0

#define MAX_RELEASE_R22 22000

#define VERSION_3DSMAX ((MAX_RELEASE << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV)

// The parts of a version number a module reports.
#define GET_MAX_RELEASE(x) (((x) >> 16) & 0xffff)
#define GET_MAX_API_NUM(x) (((x) >> 8) & 0xff)
#define GET_MAX_SDK_REV(x) ((x)&0xff)
