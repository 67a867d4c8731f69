// Mesh: the host's triangle mesh (vertices, faces, map channels, selections, smoothing).
//
// Storage. verts, faces and every map channel's vertex and face arrays are raw arrays (see
// hugearray.h): large ones are 2 MiB-aligned and backed by huge pages, entries that a resize
// adds are zero (so a new Face has smGroup 0, flags 0 and vertex indices 0, as Face() makes it,
// and a new vertex is the origin), and no per-element constructor runs. Meshes are meant to be
// sized once and filled by index. setNumVerts / setNumFaces / the map resizers follow one rule:
//   - ct 0 frees the array;
//   - keep TRUE keeps the first min(old, ct) entries; shrinking never reallocates, and growing
//     past the capacity reserves 1.5 x the old capacity, so repeated appends stay linear;
//   - keep FALSE leaves ct zeroed entries;
//   - a negative ct returns FALSE and changes nothing; so does memory that is not there, except
//     that setNumFaces may then have resized the faces but not every map channel.
// synchSel TRUE resizes vertSel / faceSel along (keeping their bits when keep is TRUE).
//
// Map channels. Channel 0 is vertex colour (vertCol / vcFace / numCVerts), channel 1 the texture
// coordinates (tVerts / tvFace / numTVerts), 2..MAX_MESHMAPS-1 extra channels, and the hidden
// channels MAP_SHADING (-1) and MAP_ALPHA (-2). The public members of channels 0 and 1 are the
// arrays of Map(0) and Map(1) and are brought up to date by every Mesh call that resizes them;
// resizing through Map(mp) directly leaves them stale until the next such call. A mesh always
// has at least two channels. A channel is supported (mapSupport) when its MESHMAP_USED flag is
// set: setMapSupport(mp, TRUE) sets it and gives the channel one map face per face (zeroed:
// every corner refers to map vertex 0; the caller fills the map vertices); resizing a channel's
// vertices or faces to a non-zero count through the Mesh sets it too (extending getNumMaps()
// when needed); setMapSupport(mp, FALSE) frees the channel and clears it. setNumFaces resizes
// the faces of every supported channel along with the mesh faces, so a supported channel always
// has one map face per face after it; unsupported channels are left alone.
// setNumTVFaces(ct, keep) follows the host's rules: a mesh without TVFaces stays without them
// when keep is TRUE and gets them allocated when keep is FALSE; ct 0 frees them (the channel
// stays supported until setMapSupport(1, FALSE)). oldCt is accepted for the host's signature;
// the map knows its own count.
//
// Indices. An out-of-range vertex, face or map index given to a Mesh accessor raises
// MeshIndexException. Face and TVFace corner / edge numbers are taken modulo 3, so edge 3 is
// edge 0. getBoundingBox() always scans the vertices, so it is never stale.
//
// AutoSmooth(angle, useSel, preventIndirectSmoothing) assigns smoothing groups:
//   1. The faces it works on are every face (useSel FALSE) or the faces set in faceSel (useSel
//      TRUE); their groups are cleared, the other faces keep theirs. Two of these faces that
//      share an edge and whose normals are less than `angle` (radians) apart are "smooth
//      neighbours". Degenerate faces and faces with bad vertex indices have no neighbours.
//   2. Faces are gathered into clusters by growing from the lowest-numbered face not yet
//      gathered across smooth-neighbour edges (breadth first, in face order). Without
//      preventIndirectSmoothing a cluster is a whole connected region, so smoothing follows
//      gradual chains around sharp corners (the host's "leak"). With it, a face joins a cluster
//      only when its normal is less than `angle` from every face of that cluster with which it
//      shares a vertex, so no two faces that meet at a vertex and differ by the angle or more
//      share a group; the rejected face starts or joins another cluster.
//   3. A cluster of one face gets group 0 (it smooths with nothing). Every other cluster gets
//      one bit, all its faces that bit. The bit is never one already used by a face (of another
//      cluster, or an untouched face) that shares a vertex with the cluster. Among those bits a
//      bit not yet used anywhere in the cluster's connected piece of mesh is preferred, the
//      lowest first; so within one piece the first 32 clusters get distinct bits (selecting by
//      smoothing group then picks one smooth region), separate pieces reuse the same low bits,
//      and past 32 clusters a piece reuses the lowest bit free around the cluster. Only when all
//      32 bits are taken around a cluster (32 or more touching clusters) does it take the bit
//      used by the fewest faces around it, and may then smooth with them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "bitarray.h"
#include "box3.h"
#include "channels.h"
#include "maxexceptions.h"
#include "maxtypes.h"
#include "point2.h"
#include "point3.h"

class Matrix3;
class BaseInterface;
class GraphicsWindow;
class HitRegion;
class Material;
struct SnapInfo;

using UVVert = Point3;
using VertColor = Point3;

// Face flags. Edge e runs from corner e to corner (e + 1) % 3.
constexpr DWORD EDGE_A = 1u << 0;
constexpr DWORD EDGE_B = 1u << 1;
constexpr DWORD EDGE_C = 1u << 2;
constexpr DWORD EDGE_ALL = EDGE_A | EDGE_B | EDGE_C;
constexpr DWORD FACE_HIDDEN = 1u << 3;
constexpr DWORD HAS_TVERTS = 1u << 4;
constexpr DWORD FACE_WORK = 1u << 5;
constexpr DWORD FACE_STRIP = 1u << 6;
// The material ID is the high 16 bits of the flags: (flags >> FACE_MATID_SHIFT) & FACE_MATID_MASK.
constexpr int FACE_MATID_SHIFT = 16;
constexpr DWORD FACE_MATID_MASK = 0xFFFFu;

constexpr DWORD EDGE_INVIS = 0;
constexpr DWORD EDGE_VIS = 1;

// Map channels.
constexpr int MAX_MESHMAPS = 100;
constexpr int NUM_HIDDENMAPS = 2;
constexpr int MAP_SHADING = -1;
constexpr int MAP_ALPHA = -2;
constexpr DWORD MESHMAP_USED = 0x0001;
constexpr DWORD MESHMAP_TEXTURE = 0x0002;
constexpr DWORD MESHMAP_VERTCOLOR = 0x0004;
constexpr DWORD MESHMAP_USER = 0x0100;

// An out-of-range index given to a Mesh accessor.
class MeshIndexException : public MaxSDK::Util::MaxException {
public:
    using MaxSDK::Util::MaxException::MaxException;
};

class Face {
public:
    DWORD v[3];
    DWORD smGroup;
    DWORD flags;

    Face() : v{0, 0, 0}, smGroup(0), flags(0) {}

    void setVerts(DWORD a, DWORD b, DWORD c) {
        v[0] = a;
        v[1] = b;
        v[2] = c;
    }
    void setVerts(const int* vrt) { setVerts(DWORD(vrt[0]), DWORD(vrt[1]), DWORD(vrt[2])); }
    void setVert(int which, DWORD vert) { v[Corner(which)] = vert; }
    DWORD getVert(int i) const { return v[Corner(i)]; }
    DWORD* getAllVerts() { return v; }

    void setSmGroup(DWORD group) { smGroup = group; }
    DWORD getSmGroup() const { return smGroup; }

    void setMatID(MtlID id) {
        flags = (flags & ~(FACE_MATID_MASK << FACE_MATID_SHIFT)) | (DWORD(id) << FACE_MATID_SHIFT);
    }
    MtlID getMatID() const { return MtlID((flags >> FACE_MATID_SHIFT) & FACE_MATID_MASK); }

    // Non-zero values make the edge visible: va edge A (v0-v1), vb edge B (v1-v2), vc edge C.
    void setEdgeVisFlags(DWORD va, DWORD vb, DWORD vc) {
        flags = (flags & ~EDGE_ALL) | (va ? EDGE_A : 0u) | (vb ? EDGE_B : 0u) | (vc ? EDGE_C : 0u);
    }
    void setEdgeVis(int edge, DWORD visFlag) {
        const DWORD bit = DWORD{1} << Corner(edge);
        flags = visFlag ? (flags | bit) : (flags & ~bit);
    }
    // The edge's bit (EDGE_A, EDGE_B or EDGE_C) when visible, 0 when not.
    DWORD getEdgeVis(int edge) const { return flags & (DWORD{1} << Corner(edge)); }

    void Hide() { flags |= FACE_HIDDEN; }
    void Show() { flags &= ~FACE_HIDDEN; }
    void SetHide(BOOL hide) { hide ? Hide() : Show(); }
    BOOL Hidden() const { return (flags & FACE_HIDDEN) ? TRUE : FALSE; }

private:
    static unsigned Corner(int i) { return static_cast<unsigned>(i) % 3u; }
};

// A face of a map channel: three map-vertex indices. As in the host, TVFace() leaves them
// uninitialised (arrays from the Mesh are zeroed).
class TVFace {
public:
    DWORD t[3];

    TVFace() = default;
    TVFace(DWORD a, DWORD b, DWORD c) : t{a, b, c} {}

    void setTVerts(DWORD a, DWORD b, DWORD c) {
        t[0] = a;
        t[1] = b;
        t[2] = c;
    }
    void setTVerts(const int* vrt) { setTVerts(DWORD(vrt[0]), DWORD(vrt[1]), DWORD(vrt[2])); }
    void setTVert(int which, DWORD tv) { t[static_cast<unsigned>(which) % 3u] = tv; }
    DWORD getTVert(int i) const { return t[static_cast<unsigned>(i) % 3u]; }
    DWORD* getAllTVerts() { return t; }
};

// One map channel: map vertices (tv, vnum) and one map face per mesh face (tf, fnum).
class MeshMap {
public:
    DWORD flags = 0;
    UVVert* tv = nullptr;
    TVFace* tf = nullptr;
    int vnum = 0;
    int fnum = 0;

    MeshMap() = default;
    MeshMap(const MeshMap& from);  // deep copy; throws std::bad_alloc when memory runs out
    MeshMap(MeshMap&& from) noexcept;
    MeshMap& operator=(const MeshMap& from);
    MeshMap& operator=(MeshMap&& from) noexcept;
    ~MeshMap();

    // The resizing rule of the Mesh arrays (see the top of this file). They do not touch flags.
    BOOL setNumVerts(int vc, BOOL keep = FALSE);
    BOOL setNumFaces(int fc, BOOL keep = FALSE, int oldCt = 0);
    int getNumVerts() const { return vnum; }
    int getNumFaces() const { return fnum; }
    // Frees both arrays and clears the flags.
    void Clear();

    void SetFlag(DWORD fl) { flags |= fl; }
    void ClearFlag(DWORD fl) { flags &= ~fl; }
    BOOL GetFlag(DWORD fl) const { return (flags & fl) ? TRUE : FALSE; }
    BOOL IsUsed() const { return GetFlag(MESHMAP_USED); }

    void swap(MeshMap& other) noexcept;

private:
    std::size_t vcap_ = 0;
    std::size_t fcap_ = 0;
};

class Mesh {
public:
    int numVerts = 0;
    int numFaces = 0;
    Face* faces = nullptr;
    Point3* verts = nullptr;
    // Channel 1.
    int numTVerts = 0;
    UVVert* tVerts = nullptr;
    TVFace* tvFace = nullptr;
    // Channel 0.
    int numCVerts = 0;
    VertColor* vertCol = nullptr;
    TVFace* vcFace = nullptr;

    BitArray vertSel;
    BitArray faceSel;
    Box3 bdgBox;  // filled by buildBoundingBox()

    Mesh();
    Mesh(const Mesh& from);  // deep copy; throws std::bad_alloc when memory runs out
    Mesh(Mesh&& from) noexcept;
    Mesh& operator=(const Mesh& from);
    Mesh& operator=(Mesh&& from) noexcept;
    ~Mesh();

    // Copies the named parts of `from` (TOPO_CHANNEL: faces with their flags, smoothing groups
    // and material IDs; GEOM_CHANNEL: vertices; TEXMAP_CHANNEL: channels 1 and up;
    // VERTCOLOR_CHANNEL: channel 0 and the hidden channels; SELECT_CHANNEL: the selections);
    // the rest is left as it is. A null `from` does nothing.
    void DeepCopy(const Mesh* from, ChannelMask channels);
    // Frees every array and selection; the mesh is empty with two unsupported channels.
    void FreeAll();

    BOOL setNumVerts(int ct, BOOL keep = FALSE, BOOL synchSel = TRUE);
    BOOL setNumFaces(int ct, BOOL keep = FALSE, BOOL synchSel = TRUE);
    BOOL setNumTVerts(int ct, BOOL keep = FALSE);
    BOOL setNumTVFaces(int ct, BOOL keep = FALSE, int oldCt = 0);
    int getNumVerts() const { return numVerts; }
    int getNumFaces() const { return numFaces; }
    int getNumTVerts() const { return getNumMapVerts(1); }
    int getNumVertCol() const { return getNumMapVerts(0); }

    void setVert(int i, const Point3& xyz) {
        CheckIndex(i, numVerts, "vertex");
        verts[i] = xyz;
    }
    void setVert(int i, float x, float y, float z) { setVert(i, Point3(x, y, z)); }
    Point3& getVert(int i) { return verts[CheckIndex(i, numVerts, "vertex")]; }
    const Point3& getVert(int i) const { return verts[CheckIndex(i, numVerts, "vertex")]; }
    Point3* getVertPtr(int i) { return verts + CheckIndex(i, numVerts, "vertex"); }

    void setTVert(int i, const UVVert& xyz) { getTVert(i) = xyz; }
    void setTVert(int i, float x, float y, float z) { setTVert(i, UVVert(x, y, z)); }
    UVVert& getTVert(int i) { return maps_[1].tv[CheckIndex(i, maps_[1].vnum, "texture vertex")]; }
    UVVert* getTVertPtr(int i) { return &getTVert(i); }

    Face& getFace(int i) { return faces[CheckIndex(i, numFaces, "face")]; }
    void setFaceMtlIndex(int i, MtlID id) { getFace(i).setMatID(id); }
    MtlID getFaceMtlIndex(int i) const { return faces[CheckIndex(i, numFaces, "face")].getMatID(); }

    // Map channels (mp from MAP_ALPHA to getNumMaps() - 1).
    void setNumMaps(int ct, BOOL keep = FALSE);  // ct is clamped to 2..MAX_MESHMAPS
    int getNumMaps() const { return static_cast<int>(maps_.size()); }
    void setMapSupport(int mp, BOOL support = TRUE);
    BOOL mapSupport(int mp) const;
    BOOL setNumMapVerts(int mp, int ct, BOOL keep = FALSE);
    BOOL setNumMapFaces(int mp, int ct, BOOL keep = FALSE, int oldCt = 0);
    int getNumMapVerts(int mp) const;
    int getNumMapFaces(int mp) const;
    UVVert* mapVerts(int mp) const;  // nullptr for a channel that does not exist
    TVFace* mapFaces(int mp) const;
    MeshMap& Map(int mp);

    // The box of the vertices, each transformed by tm when given. Empty for a mesh without
    // vertices.
    Box3 getBoundingBox(const Matrix3* tm = nullptr) const;
    void buildBoundingBox() { bdgBox = getBoundingBox(); }

    // The stand-in caches nothing that an edit makes stale; the calls stay for the host's API.
    void InvalidateGeomCache() {}
    void InvalidateTopologyCache() {}

    void AutoSmooth(float angle, BOOL useSel, BOOL preventIndirectSmoothing = FALSE);

    // Viewport picking and snapping (graphwin.h; mesh_display.cpp). select draws every face
    // that is not hidden and whose corners exist as a triangle into gw, which must be in its
    // picking state, after giving it hr when hr is not null; it stops at the first hit when
    // abortOnHit is set and answers gw's hit code. ma and numMat are the faces' viewport
    // materials (not needed for picking). snap offers every vertex, projected through gw's
    // current transform, to the snap search (SnapInfo, object.h) with the vertex priority; tm
    // takes a vertex to world space for bestWorld. Null arguments do nothing (select: FALSE).
    BOOL select(GraphicsWindow* gw, Material* ma, HitRegion* hr, int abortOnHit = FALSE,
                int numMat = 1);
    void snap(GraphicsWindow* gw, SnapInfo* snap, IPoint2* p, Matrix3& tm);
    // The mesh's display interface (Graphics/IMeshDisplay2.h) for IMesh_DISPLAY2_INTERFACE_ID,
    // null for any other ID. It belongs to this mesh object and stays with it (copies and moves
    // of the mesh's contents do not take it along).
    BaseInterface* GetInterface(Interface_ID id);

private:
    static int CheckIndex(int i, int count, const char* what) {
        if (static_cast<unsigned>(i) >= static_cast<unsigned>(count)) ThrowIndex(i, count, what);
        return i;
    }
    [[noreturn]] static void ThrowIndex(int i, int count, const char* what);
    void Swap(Mesh& other) noexcept;
    MeshMap* FindMap(int mp);
    const MeshMap* FindMap(int mp) const;
    void SyncChannelMembers();

    std::size_t vertCap_ = 0;
    std::size_t faceCap_ = 0;
    std::vector<MeshMap> maps_;
    MeshMap hiddenMaps_[NUM_HIDDENMAPS];
    std::shared_ptr<BaseInterface> display_;  // made on first request
};
