#include "shape.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Selection sets

BitArray& ShapeSubSel::operator[](int poly) {
    if (poly < 0 || poly >= polys) {
        none_ = BitArray();
        return none_;
    }
    return sel_[poly];
}

const BitArray& ShapeSubSel::operator[](int poly) const {
    return poly >= 0 && poly < polys ? sel_[poly] : none_;
}

void ShapeSubSel::Insert(int where, int size) {
    if (where < 0 || where > polys) where = polys;
    sel_.insert(sel_.begin() + where, BitArray(size));
    polys = static_cast<int>(sel_.size());
}

void ShapeSubSel::Delete(int where) {
    if (where < 0 || where >= polys) return;
    sel_.erase(sel_.begin() + where);
    polys = static_cast<int>(sel_.size());
}

void ShapeVSel::SetSize(const BezierShape& shape, BOOL save) {
    sel_.resize(static_cast<std::size_t>(shape.splineCount));
    polys = shape.splineCount;
    for (int i = 0; i < polys; ++i) sel_[i].SetSize(shape.splines[i]->Verts(), save);
}

void ShapeSSel::SetSize(const BezierShape& shape, BOOL save) {
    sel_.resize(static_cast<std::size_t>(shape.splineCount));
    polys = shape.splineCount;
    for (int i = 0; i < polys; ++i) sel_[i].SetSize(shape.splines[i]->Segments(), save);
}

void ShapePSel::SetSize(const BezierShape& shape, BOOL save) {
    polys = shape.splineCount;
    sel.SetSize(polys, save);
}

void ShapePSel::Insert(int where) {
    if (where < 0 || where > polys) where = polys;
    BitArray grown(polys + 1);
    for (int i = 0; i < polys; ++i)
        if (sel[i]) grown.Set(i < where ? i : i + 1);
    sel = grown;
    ++polys;
}

void ShapePSel::Delete(int where) {
    if (where < 0 || where >= polys) return;
    BitArray shrunk(polys - 1);
    for (int i = 0; i < polys; ++i)
        if (i != where && sel[i]) shrunk.Set(i < where ? i : i - 1);
    sel = shrunk;
    --polys;
}

// ---------------------------------------------------------------------------------------------
// BezierShape

BezierShape::BezierShape(const BezierShape& from)
    : steps(from.steps),
      optimize(from.optimize),
      vertSel(from.vertSel),
      segSel(from.segSel),
      polySel(from.polySel) {
    store_.reserve(from.store_.size());
    for (const Spline3D* s : from.store_) store_.push_back(new Spline3D(*s));
    SyncPointer();
}

BezierShape::~BezierShape() { Clear(); }

BezierShape& BezierShape::operator=(const BezierShape& from) {
    if (this == &from) return *this;
    // Copy first, so a throwing allocation leaves this shape as it was.
    std::vector<Spline3D*> copies;
    copies.reserve(from.store_.size());
    try {
        for (const Spline3D* s : from.store_) copies.push_back(new Spline3D(*s));
    } catch (...) {
        for (Spline3D* s : copies) delete s;
        throw;
    }
    Clear();
    store_ = std::move(copies);
    SyncPointer();
    steps = from.steps;
    optimize = from.optimize;
    vertSel = from.vertSel;
    segSel = from.segSel;
    polySel = from.polySel;
    return *this;
}

void BezierShape::Clear() {
    for (Spline3D* s : store_) delete s;
    store_.clear();
    SyncPointer();
}

void BezierShape::SyncPointer() {
    splineCount = static_cast<int>(store_.size());
    splines = store_.empty() ? nullptr : store_.data();
}

void BezierShape::Init() {
    NewShape();
    steps = 6;
    optimize = FALSE;
}

void BezierShape::NewShape() {
    Clear();
    UpdateSels();
}

Spline3D* BezierShape::NewSpline(int itype, int dtype, int ptype) {
    return AddSpline(new Spline3D(itype, dtype, ptype));
}

Spline3D* BezierShape::AddSpline(Spline3D* spline) {
    return InsertSpline(spline, splineCount) >= 0 ? spline : nullptr;
}

int BezierShape::InsertSpline(Spline3D* spline, int index) {
    if (!spline || std::find(store_.begin(), store_.end(), spline) != store_.end()) return -1;
    if (index < 0 || index > splineCount) index = splineCount;
    store_.insert(store_.begin() + index, spline);
    SyncPointer();
    vertSel.Insert(index, spline->Verts());
    segSel.Insert(index, spline->Segments());
    polySel.Insert(index);
    return index;
}

int BezierShape::DeleteSpline(int index) {
    if (index < 0 || index >= splineCount) return 0;
    delete store_[index];
    store_.erase(store_.begin() + index);
    SyncPointer();
    vertSel.Delete(index);
    segSel.Delete(index);
    polySel.Delete(index);
    return 1;
}

Spline3D* BezierShape::GetSpline(int index) const {
    return index >= 0 && index < splineCount ? store_[index] : nullptr;
}

void BezierShape::UpdateSels() {
    vertSel.SetSize(*this, TRUE);
    segSel.SetSize(*this, TRUE);
    polySel.SetSize(*this, TRUE);
}

void BezierShape::InvalidateGeomCache() {
    for (Spline3D* s : store_) s->InvalidateGeomCache();
}

Box3 BezierShape::GetBoundingBox(Matrix3* tm) const {
    Box3 box;
    for (const Spline3D* s : store_) box += s->GetBBox(tm);
    return box;
}

Point3 BezierShape::InterpCurve3D(int poly, float u, int ptype) const {
    const Spline3D* s = GetSpline(poly);
    return s ? s->InterpCurve3D(u, ptype) : Point3(0.0f, 0.0f, 0.0f);
}

Point3 BezierShape::TangentCurve3D(int poly, float u, int ptype) const {
    const Spline3D* s = GetSpline(poly);
    return s ? s->TangentCurve3D(u, ptype) : Point3(0.0f, 0.0f, 0.0f);
}

Point3 BezierShape::InterpPiece3D(int poly, int piece, float t, int ptype) const {
    const Spline3D* s = GetSpline(poly);
    return s ? s->InterpBezier3D(piece, t, ptype) : Point3(0.0f, 0.0f, 0.0f);
}

Point3 BezierShape::TangentPiece3D(int poly, int piece, float t, int ptype) const {
    const Spline3D* s = GetSpline(poly);
    return s ? s->TangentBezier3D(piece, t, ptype) : Point3(0.0f, 0.0f, 0.0f);
}

void BezierShape::MakePolyShape(PolyShape& shape, int stepsArg, BOOL optimizeArg) const {
    if (stepsArg < 0) {
        stepsArg = steps;
        optimizeArg = optimizeArg || optimize;
    }
    shape.SetNumLines(splineCount, FALSE);
    for (int i = 0; i < splineCount; ++i)
        store_[i]->MakePolyLine(shape.lines[i], stepsArg, optimizeArg);
}
