#include "mesh.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "hugearray.h"
#include "matrix3.h"

// ---------------------------------------------------------------------------------------------
// MeshMap

MeshMap::MeshMap(const MeshMap& from) : flags(from.flags) {
    if (!HugeArray::CopyArray(tv, vcap_, from.tv, static_cast<std::size_t>(from.vnum)) ||
        !HugeArray::CopyArray(tf, fcap_, from.tf, static_cast<std::size_t>(from.fnum))) {
        Clear();
        throw std::bad_alloc();
    }
    vnum = from.vnum;
    fnum = from.fnum;
}

MeshMap::MeshMap(MeshMap&& from) noexcept { swap(from); }

MeshMap& MeshMap::operator=(const MeshMap& from) {
    if (this != &from) {
        MeshMap copy(from);
        swap(copy);
    }
    return *this;
}

MeshMap& MeshMap::operator=(MeshMap&& from) noexcept {
    if (this != &from) {
        MeshMap taken(std::move(from));
        swap(taken);
    }
    return *this;
}

MeshMap::~MeshMap() {
    HugeArray::Free(tv, vcap_ * sizeof(UVVert));
    HugeArray::Free(tf, fcap_ * sizeof(TVFace));
}

void MeshMap::swap(MeshMap& other) noexcept {
    std::swap(flags, other.flags);
    std::swap(tv, other.tv);
    std::swap(tf, other.tf);
    std::swap(vnum, other.vnum);
    std::swap(fnum, other.fnum);
    std::swap(vcap_, other.vcap_);
    std::swap(fcap_, other.fcap_);
}

BOOL MeshMap::setNumVerts(int vc, BOOL keep) {
    if (!HugeArray::ResizeArray(tv, vcap_, static_cast<std::size_t>(vnum), vc, keep != FALSE))
        return FALSE;
    vnum = vc;
    return TRUE;
}

BOOL MeshMap::setNumFaces(int fc, BOOL keep, int /*oldCt*/) {
    if (!HugeArray::ResizeArray(tf, fcap_, static_cast<std::size_t>(fnum), fc, keep != FALSE))
        return FALSE;
    fnum = fc;
    return TRUE;
}

void MeshMap::Clear() {
    setNumVerts(0);
    setNumFaces(0);
    flags = 0;
}

// ---------------------------------------------------------------------------------------------
// Mesh: construction and copies

Mesh::Mesh() : maps_(2) {}

Mesh::Mesh(const Mesh& from) : Mesh() {
    DeepCopy(&from, ALL_CHANNELS);
    bdgBox = from.bdgBox;
}

Mesh::Mesh(Mesh&& from) noexcept : Mesh() { Swap(from); }

Mesh& Mesh::operator=(const Mesh& from) {
    if (this != &from) {
        Mesh copy(from);
        Swap(copy);
    }
    return *this;
}

Mesh& Mesh::operator=(Mesh&& from) noexcept {
    if (this != &from) {
        Mesh taken(std::move(from));
        Swap(taken);
    }
    return *this;
}

Mesh::~Mesh() {
    HugeArray::Free(verts, vertCap_ * sizeof(Point3));
    HugeArray::Free(faces, faceCap_ * sizeof(Face));
}

void Mesh::Swap(Mesh& other) noexcept {
    std::swap(numVerts, other.numVerts);
    std::swap(numFaces, other.numFaces);
    std::swap(faces, other.faces);
    std::swap(verts, other.verts);
    std::swap(vertSel, other.vertSel);
    std::swap(faceSel, other.faceSel);
    std::swap(bdgBox, other.bdgBox);
    std::swap(vertCap_, other.vertCap_);
    std::swap(faceCap_, other.faceCap_);
    maps_.swap(other.maps_);
    for (int i = 0; i < NUM_HIDDENMAPS; ++i) hiddenMaps_[i].swap(other.hiddenMaps_[i]);
    SyncChannelMembers();
    other.SyncChannelMembers();
}

void Mesh::DeepCopy(const Mesh* from, ChannelMask channels) {
    if (!from || from == this) return;
    if (channels & GEOM_CHANNEL) {
        Point3* v = nullptr;
        std::size_t cap = 0;
        if (!HugeArray::CopyArray(v, cap, from->verts, static_cast<std::size_t>(from->numVerts)))
            throw std::bad_alloc();
        HugeArray::Free(verts, vertCap_ * sizeof(Point3));
        verts = v;
        vertCap_ = cap;
        numVerts = from->numVerts;
    }
    if (channels & TOPO_CHANNEL) {
        Face* f = nullptr;
        std::size_t cap = 0;
        if (!HugeArray::CopyArray(f, cap, from->faces, static_cast<std::size_t>(from->numFaces)))
            throw std::bad_alloc();
        HugeArray::Free(faces, faceCap_ * sizeof(Face));
        faces = f;
        faceCap_ = cap;
        numFaces = from->numFaces;
    } else if ((channels & MTL_CHANNEL) && numFaces == from->numFaces) {
        for (int i = 0; i < numFaces; ++i) faces[i].setMatID(from->faces[i].getMatID());
    }
    if (channels & TEXMAP_CHANNEL) {
        maps_.resize(from->maps_.size());
        for (std::size_t mp = 1; mp < maps_.size(); ++mp) maps_[mp] = from->maps_[mp];
    }
    if (channels & VERTCOLOR_CHANNEL) {
        maps_[0] = from->maps_[0];
        for (int i = 0; i < NUM_HIDDENMAPS; ++i) hiddenMaps_[i] = from->hiddenMaps_[i];
    }
    if (channels & SELECT_CHANNEL) {
        vertSel = from->vertSel;
        faceSel = from->faceSel;
    }
    SyncChannelMembers();
}

void Mesh::FreeAll() {
    setNumVerts(0);
    setNumFaces(0);
    maps_.clear();
    maps_.resize(2);
    for (MeshMap& m : hiddenMaps_) m.Clear();
    vertSel.SetSize(0);
    faceSel.SetSize(0);
    bdgBox.Init();
    SyncChannelMembers();
}

void Mesh::ThrowIndex(int i, int count, const char* what) {
    throw MeshIndexException("Mesh: " + std::string(what) + " index " + std::to_string(i) +
                             " is out of range (there are " + std::to_string(count) + ")");
}

void Mesh::SyncChannelMembers() {
    numCVerts = maps_[0].vnum;
    vertCol = maps_[0].tv;
    vcFace = maps_[0].tf;
    numTVerts = maps_[1].vnum;
    tVerts = maps_[1].tv;
    tvFace = maps_[1].tf;
}

// ---------------------------------------------------------------------------------------------
// Mesh: counts

BOOL Mesh::setNumVerts(int ct, BOOL keep, BOOL synchSel) {
    if (!HugeArray::ResizeArray(verts, vertCap_, static_cast<std::size_t>(numVerts), ct,
                                keep != FALSE))
        return FALSE;
    numVerts = ct;
    if (synchSel) vertSel.SetSize(ct, keep);
    return TRUE;
}

BOOL Mesh::setNumFaces(int ct, BOOL keep, BOOL synchSel) {
    if (!HugeArray::ResizeArray(faces, faceCap_, static_cast<std::size_t>(numFaces), ct,
                                keep != FALSE))
        return FALSE;
    numFaces = ct;
    if (synchSel) faceSel.SetSize(ct, keep);
    // Supported channels keep one map face per face.
    BOOL ok = TRUE;
    for (MeshMap& m : maps_)
        if (m.IsUsed() && !m.setNumFaces(ct, keep)) ok = FALSE;
    for (MeshMap& m : hiddenMaps_)
        if (m.IsUsed() && !m.setNumFaces(ct, keep)) ok = FALSE;
    SyncChannelMembers();
    return ok;
}

BOOL Mesh::setNumTVerts(int ct, BOOL keep) { return setNumMapVerts(1, ct, keep); }

namespace {

// The host's rule for the TVFace and VCFace arrays: freed at 0; without faces, keep TRUE leaves
// the channel empty and keep FALSE allocates. TRUE when the array then has ct entries.
BOOL SetNumChannelFaces(MeshMap& m, int ct, BOOL keep) {
    if (ct < 0) return FALSE;
    if (ct == 0) return m.setNumFaces(0);
    if (m.fnum == 0 && keep) return FALSE;
    if (!m.setNumFaces(ct, keep)) return FALSE;
    m.SetFlag(MESHMAP_USED);
    return TRUE;
}

}  // namespace

BOOL Mesh::setNumTVFaces(int ct, BOOL keep, int /*oldCt*/) {
    const BOOL ok = SetNumChannelFaces(maps_[1], ct, keep);
    SyncChannelMembers();
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Mesh: map channels

MeshMap* Mesh::FindMap(int mp) {
    if (mp >= 0 && mp < getNumMaps()) return &maps_[static_cast<std::size_t>(mp)];
    if (mp < 0 && mp >= -NUM_HIDDENMAPS) return &hiddenMaps_[-1 - mp];
    return nullptr;
}

const MeshMap* Mesh::FindMap(int mp) const { return const_cast<Mesh*>(this)->FindMap(mp); }

MeshMap& Mesh::Map(int mp) {
    MeshMap* m = FindMap(mp);
    if (!m) ThrowIndex(mp, getNumMaps(), "map channel");
    return *m;
}

void Mesh::setNumMaps(int ct, BOOL keep) {
    if (ct < 2) ct = 2;
    if (ct > MAX_MESHMAPS) ct = MAX_MESHMAPS;
    if (!keep)
        for (MeshMap& m : maps_) m.Clear();
    maps_.resize(static_cast<std::size_t>(ct));
    SyncChannelMembers();
}

void Mesh::setMapSupport(int mp, BOOL support) {
    if (mp < -NUM_HIDDENMAPS || mp >= MAX_MESHMAPS) return;
    if (!support) {
        if (MeshMap* m = FindMap(mp)) m->Clear();
        SyncChannelMembers();
        return;
    }
    if (mp >= getNumMaps()) setNumMaps(mp + 1, TRUE);
    MeshMap& m = Map(mp);
    if (m.fnum == numFaces || m.setNumFaces(numFaces, TRUE)) {
        m.SetFlag(MESHMAP_USED | (mp == 0 ? MESHMAP_VERTCOLOR : MESHMAP_TEXTURE));
    }
    SyncChannelMembers();
}

BOOL Mesh::mapSupport(int mp) const {
    const MeshMap* m = FindMap(mp);
    return m && m->IsUsed() ? TRUE : FALSE;
}

BOOL Mesh::setNumMapVerts(int mp, int ct, BOOL keep) {
    if (ct < 0 || mp < -NUM_HIDDENMAPS || mp >= MAX_MESHMAPS) return FALSE;
    if (mp >= getNumMaps()) {
        if (ct == 0) return TRUE;
        setNumMaps(mp + 1, TRUE);
    }
    MeshMap& m = Map(mp);
    const BOOL ok = m.setNumVerts(ct, keep);
    if (ok && ct > 0) m.SetFlag(MESHMAP_USED);
    SyncChannelMembers();
    return ok;
}

BOOL Mesh::setNumMapFaces(int mp, int ct, BOOL keep, int /*oldCt*/) {
    if (ct < 0 || mp < -NUM_HIDDENMAPS || mp >= MAX_MESHMAPS) return FALSE;
    if (mp >= getNumMaps()) {
        if (ct == 0) return TRUE;
        setNumMaps(mp + 1, TRUE);
    }
    MeshMap& m = Map(mp);
    const BOOL ok = m.setNumFaces(ct, keep);
    if (ok && ct > 0) m.SetFlag(MESHMAP_USED);
    SyncChannelMembers();
    return ok;
}

int Mesh::getNumMapVerts(int mp) const {
    const MeshMap* m = FindMap(mp);
    return m ? m->vnum : 0;
}

int Mesh::getNumMapFaces(int mp) const {
    const MeshMap* m = FindMap(mp);
    return m ? m->fnum : 0;
}

UVVert* Mesh::mapVerts(int mp) const {
    const MeshMap* m = FindMap(mp);
    return m ? m->tv : nullptr;
}

TVFace* Mesh::mapFaces(int mp) const {
    const MeshMap* m = FindMap(mp);
    return m ? m->tf : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Mesh: bounding box

Box3 Mesh::getBoundingBox(const Matrix3* tm) const {
    Box3 box;
    if (numVerts <= 0) return box;
    Point3 lo = tm ? verts[0] * *tm : verts[0];
    Point3 hi = lo;
    for (int i = 1; i < numVerts; ++i) {
        const Point3 p = tm ? verts[i] * *tm : verts[i];
        if (p.x < lo.x) lo.x = p.x;
        if (p.y < lo.y) lo.y = p.y;
        if (p.z < lo.z) lo.z = p.z;
        if (p.x > hi.x) hi.x = p.x;
        if (p.y > hi.y) hi.y = p.y;
        if (p.z > hi.z) hi.z = p.z;
    }
    box.pmin = lo;
    box.pmax = hi;
    return box;
}
