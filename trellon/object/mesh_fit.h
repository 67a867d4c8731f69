// Count first, then decide: whether what a build (or a drawer) is about to make fits the SDK's
// mesh and the machine.
//
// A builder counts its copies, vertices and faces before it allocates anything. Those counts
// are checked here against two limits:
//   - the mesh's index range: Mesh counts vertices and faces in an int, so neither may pass
//     2,147,483,647 (a 286-vertex item reaches it at 7.5 million copies);
//   - the memory the machine can give, as GlobalMemoryStatusEx reports it: the smaller of the
//     commit room (memory not yet promised plus free swap) and the room left in the process's
//     address space.
// The bytes a mesh needs are its arrays as the SDK stores them: 12 per vertex, 20 per face, and
// with texture coordinates 12 per texture vertex and 12 per texture face (one for every face of
// the mesh, the SDK's rule for a supported map channel), plus a selection bit per vertex and per
// face.
//
// A build that does not fit leaves its mesh empty and says so once, in a message box the host
// records ("Not Enough Memory", with the error icon and only an OK button): a headless host
// answers it at once and lists it with the build's other messages. The text names the object,
// the copies, the bytes needed and the bytes available, and the index range when that is what
// is passed. The proxy drawers use the same check for the points they hand the viewport.
#pragma once

#include <cstdint>
#include <string>

#include "strclass.h"

namespace trellon {

class Trellon;

inline constexpr const wchar_t* kNotEnoughMemoryTitle = L"Not Enough Memory";
// The most vertices or faces a Mesh can count.
inline constexpr std::int64_t kMaxMeshElements = 0x7fffffff;

// What a mesh (or a drawing) would hold.
struct MeshNeeds {
    std::int64_t verts = 0;
    std::int64_t faces = 0;
    std::int64_t tverts = 0;    // texture vertices (map channel 1)
    bool textureFaces = false;  // one texture face for every face
    std::int64_t points = 0;    // points handed to the viewport (drawers only)

    MeshNeeds& operator+=(const MeshNeeds& n);
    // Bytes of the arrays, as listed at the top; stops at the largest 64-bit value.
    std::uint64_t Bytes() const;
};

struct FitCheck {
    bool indexRange = true;  // every count within kMaxMeshElements
    bool memory = true;      // the bytes within what is available
    std::uint64_t needed = 0;
    std::uint64_t available = 0;
    bool Fits() const { return indexRange && memory; }
};

// The memory the machine can give this process now, in bytes.
std::uint64_t AvailableMemory();

// Checks needs against the index range and AvailableMemory().
FitCheck CheckFit(const MeshNeeds& needs);

// "1 copy", "16,777,216 copies": n grouped by thousands with the noun that fits.
std::wstring Counted(std::int64_t n, const wchar_t* one, const wchar_t* many);

// The one message that says why nothing was built, e.g.
//   "Trellon_001: 16,777,216 copies need 5,637,144,578 bytes for the mesh; 3,989,266,432 bytes
//    are available. Nothing is built; use a larger spacing or a lighter display mode."
// `counted` says what was counted ("16,777,216 copies", "2 sweeps"), `what` what they were for
// ("the mesh", "the render mesh", "the proxies"); past the index range the count that passes it
// is named too.
std::wstring RefusalText(const std::wstring& object, const std::wstring& counted,
                         const MeshNeeds& needs, const FitCheck& check, const wchar_t* what);

// Shows the refusal for the object as the message box described above.
void ShowRefusal(Trellon& object, const std::wstring& counted, const MeshNeeds& needs,
                 const FitCheck& check, const wchar_t* what);

}  // namespace trellon
