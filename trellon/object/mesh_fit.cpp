#include "object/mesh_fit.h"

#include <algorithm>
#include <limits>

#include "inode.h"
#include "maxapi.h"
#include "mesh.h"
#include "object/trellon.h"
#include "windows.h"

namespace trellon {
namespace {

constexpr std::uint64_t kMaxBytes = std::numeric_limits<std::uint64_t>::max();

std::uint64_t NonNegative(std::int64_t n) { return n > 0 ? static_cast<std::uint64_t>(n) : 0; }

// a * b + c, stopping at the largest value instead of wrapping.
std::uint64_t MulAdd(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    if (b != 0 && a > (kMaxBytes - c) / b) return kMaxBytes;
    return a * b + c;
}

// 1234567 -> "1,234,567".
std::wstring Grouped(std::uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, L',');
    return digits;
}

}  // namespace

MeshNeeds& MeshNeeds::operator+=(const MeshNeeds& n) {
    verts += n.verts;
    faces += n.faces;
    tverts += n.tverts;
    textureFaces = textureFaces || n.textureFaces;
    points += n.points;
    return *this;
}

std::uint64_t MeshNeeds::Bytes() const {
    const std::uint64_t v = NonNegative(verts);
    const std::uint64_t f = NonNegative(faces);
    std::uint64_t bytes = MulAdd(v, sizeof(Point3), 0);
    bytes = MulAdd(f, sizeof(Face), bytes);
    bytes = MulAdd(NonNegative(tverts), sizeof(UVVert), bytes);
    if (textureFaces) bytes = MulAdd(f, sizeof(TVFace), bytes);
    bytes = MulAdd(NonNegative(points), sizeof(Point3), bytes);
    // The vertex and face selections, a bit each.
    return MulAdd(1, v / 8 + f / 8 + 2, bytes);
}

std::uint64_t AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return std::min(status.ullAvailPageFile, status.ullAvailVirtual);
}

FitCheck CheckFit(const MeshNeeds& needs) {
    FitCheck check;
    check.indexRange = needs.verts <= kMaxMeshElements && needs.faces <= kMaxMeshElements &&
                       needs.tverts <= kMaxMeshElements && needs.points <= kMaxMeshElements;
    check.needed = needs.Bytes();
    check.available = AvailableMemory();
    check.memory = check.needed <= check.available;
    return check;
}

std::wstring Counted(std::int64_t n, const wchar_t* one, const wchar_t* many) {
    return Grouped(NonNegative(n)) + L" " + (n == 1 ? one : many);
}

std::wstring RefusalText(const std::wstring& object, const std::wstring& counted,
                         const MeshNeeds& needs, const FitCheck& check, const wchar_t* what) {
    std::wstring text = object + L": " + counted +
                        (counted.rfind(L"1 ", 0) == 0 ? L" needs " : L" need ") +
                        Grouped(check.needed) + L" bytes for " + what + L"; " +
                        Grouped(check.available) + L" bytes are available.";
    if (!check.indexRange) {
        const std::int64_t most = std::max({needs.verts, needs.faces, needs.tverts, needs.points});
        const wchar_t* unit = most == needs.verts    ? L" vertices"
                              : most == needs.faces  ? L" faces"
                              : most == needs.tverts ? L" texture vertices"
                                                     : L" points";
        text += L" " + Grouped(NonNegative(most)) + unit + L" pass the " +
                Grouped(kMaxMeshElements) + L" a mesh can index.";
    }
    text += L" Nothing is built; use a larger spacing or a lighter display mode.";
    return text;
}

void ShowRefusal(Trellon& object, const std::wstring& counted, const MeshNeeds& needs,
                 const FitCheck& check, const wchar_t* what) {
    INode* node = object.FindNode();
    const std::wstring name = node ? std::wstring(node->GetName()) : std::wstring(L"Trellon");
    Interface* ip = GetCOREInterface();
    MessageBox(ip ? ip->GetMAXHWnd() : nullptr,
               RefusalText(name, counted, needs, check, what).c_str(), kNotEnoughMemoryTitle,
               MB_ICONERROR | MB_OK);
}

}  // namespace trellon
