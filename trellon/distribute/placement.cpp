#include "distribute/placement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "distribute/copy_layout.h"
#include "distribute/copy_transform.h"
#include "distribute/random_values.h"
#include "distribute/working_path.h"
#include "inode.h"
#include "iparamb2.h"
#include "object/geo_array.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "shape.h"

namespace trellon {

namespace {

constexpr float kPi = 3.14159265f;

// The part of a working path's sideways offset that an entry stands for: its low value, or the
// middle of its range when the entry is randomised (copies then scatter about the path).
float PathOffsetOf(const EntryRandomSettings& s) {
    return s.randomOn ? (s.sideOffset.low + s.sideOffset.high) * 0.5f : s.sideOffset.low;
}

struct ItemData {
    PlacementItem info;
    bool hasSettings = false;  // its shared entry is in every table the values need
    EntryRandomSettings settings;
    Matrix3 base{1};
    float pathOffset = 0.0f;             // the item's own part of its working path's offset
    const ItemSettings* read = nullptr;  // offsets, repeats and twins as the build read them
    int source = 0;
};

}  // namespace

struct Placement::State {
    Trellon* object = nullptr;
    TimeValue t = 0;
    std::optional<PathShape> ownedPath;
    WorkingPathCache paths;
    // The settings the walks read: the build's, or read by Prepare itself (ownedSettings).
    std::optional<BuildSettings> ownedSettings;
    const BuildSettings* b = nullptr;
    bool valid = false;

    std::vector<ItemData> items;
    PlacementItem noItem;

    EntryRandomSettings global;
    Matrix3 targetFromPath{1};

    State(Trellon& o, TimeValue time, WorkingPathCache cache)
        : object(&o), t(time), paths(std::move(cache)) {}

    void Read(const BuildSettings& settings, const PlacementOptions& options);
};

void Placement::State::Read(const BuildSettings& settings, const PlacementOptions& options) {
    b = &settings;
    // Without the "All Objects" entry no copy has its values: nothing is placed.
    if (!settings.global) return;
    global = *settings.global;

    // Source indices put the end objects first, then the objects, then the posts.
    const std::array<int, 3> sourceStart = {settings.ends, settings.ends + settings.objects, 0};
    const std::array<int, 3> listStart = {0, settings.objects, settings.objects + settings.posts};
    for (const ItemSettings& read : settings.items) {
        const int k = static_cast<int>(items.size());
        const auto l = static_cast<std::size_t>(read.list);
        ItemData it;
        it.read = &read;
        it.info.list = read.list;
        it.info.node = read.node;
        it.info.kind = read.kind;
        it.info.boxMin = read.boxMin;
        it.info.boxMax = read.boxMax;
        it.source = sourceStart[l] + (k - listStart[l]);
        it.hasSettings = read.entry.has_value();
        if (read.entry) it.settings = *read.entry;
        it.pathOffset = PathOffsetOf(it.settings);
        if (it.info.node) {
            const Matrix3 nodeTM = it.info.node->GetNodeTM(t);
            const Matrix3 objectTM = it.info.node->GetObjectTM(t);
            it.base = it.info.list == CopyKind::Post
                          ? PostBase(nodeTM, objectTM, it.info.boxMin, it.info.boxMax)
                          : ItemBase(nodeTM, objectTM);
        }
        items.push_back(it);
    }

    targetFromPath = ObjectFromPathTM(*object, settings.pathNode, t, settings.detachPath);
    if (options.worldSpace) {
        if (INode* node = object->FindNode())
            targetFromPath = targetFromPath * node->GetObjectTM(t);
    }
    valid = true;
}

namespace {

// One walk of one pass: the counters, the slot's global values and the copy transform.
class Walker {
public:
    Walker(Placement::State& s, CopyVisitor& visitor, bool transforms, PassCounts* counts = nullptr)
        : s_(s),
          visitor_(visitor),
          transforms_(transforms),
          counts_(counts),
          counters_(s.items.size(), 0) {}

    // Every builder starts its counters at 0.
    void ResetCounters() {
        std::fill(counters_.begin(), counters_.end(), 0);
        c0_ = 0;
    }

    void Run(PlacementPass pass) {
        ResetCounters();
        switch (pass) {
            case PlacementPass::Ends:
                Ends();
                break;
            case PlacementPass::Posts:
                Posts();
                ResetCounters();
                if (s_.b->pattern == 2)
                    PerObject();
                else
                    BetweenPosts();
                break;
            case PlacementPass::PerObject:
                PerObject();
                break;
            case PlacementPass::Sequence:
                Sequence();
                break;
        }
    }

private:
    // How a copy's sideways offset is formed: the sequence's copies stand on the global working
    // path, the others on a path that already carries the item's own offset.
    enum class ItemOffset { InValues, OnPath };

    struct Slot {
        int spline = 0;
        const WorkingPath* path = nullptr;
        float u = 0.0f;
    };

    // The "All Objects" values of a slot, read at the global counter as it stands when the
    // slot is reached; every copy at the slot shares them.
    struct Globals {
        int pool = 0;
        EntryCopyValues values;
    };
    Globals SlotGlobals() const {
        Globals g;
        g.pool = GlobalPoolIndex(c0_);
        if (transforms_) g.values = EntryValues(s_.global, s_.b->pools.At(g.pool));
        return g;
    }

    // Places item k at the slot: yields the copy unless its node is missing or Object_Solo
    // names another item, and advances c0 and c[k] either way.
    void Place(int k, const Slot& slot, const Globals& globals, ItemOffset offset,
               bool halfTurn = false) {
        const ItemData& it = s_.items[static_cast<std::size_t>(k)];
        int& ck = counters_[static_cast<std::size_t>(k)];
        if (it.info.node != nullptr && (s_.b->solo <= 0 || s_.b->solo == k + 1)) {
            PlacedCopy copy;
            copy.item = k;
            copy.source = it.source;
            copy.kind = it.info.list;
            copy.spline = slot.spline;
            copy.u = slot.u;
            copy.globalPool = globals.pool;
            copy.itemPool = ItemPoolIndex(k, ck);
            if (transforms_)
                copy.tm = Transform(it, slot, globals.values, copy.itemPool, offset, halfTurn);
            visitor_.Copy(copy);
        }
        ck = (ck + 1) % kPoolBlock;
        c0_ = (c0_ + 1) % kPoolBlock;
    }

    Matrix3 Transform(const ItemData& it, const Slot& slot, const EntryCopyValues& g, int itemPool,
                      ItemOffset offset, bool halfTurn) {
        CopyPose pose;
        slot.path->Sample(slot.u, pose.position, pose.tangent);
        // Copies along one segment share its tangent: the angles are worked out once per run.
        if (!haveAngles_ || !(pose.tangent == lastTangent_)) {
            lastTangent_ = pose.tangent;
            lastAngles_ = AnglesOfTangent(pose.tangent);
            haveAngles_ = true;
        }
        // An end object at the far end turns round to face out of the path: the half turn is
        // part of its heading, so the follow rules and the roll about the direction of travel
        // see it too (a rolled end piece leans out of the path at both ends).
        PathAngles a = lastAngles_;
        if (halfTurn) a.heading += kPi;
        const FollowAngles f = ApplyFollow(a, s_.b->follow, s_.b->followOri);

        const EntryCopyValues iv = EntryValues(it.settings, s_.b->pools.At(itemPool));
        const CopyValues v =
            CombineEntryValues(g, s_.global.unifyScale, iv, it.settings.unifyScale);
        pose.heading = a.heading;
        pose.ex = f.ex;
        pose.ez = f.ez;
        pose.scale = v.scale;
        pose.rotX = v.yRot;
        pose.rotY = v.zRot;
        pose.rotZ = v.extraRot + v.mirrorAngle;
        // Orientation without following: the pitch stays, the heading is taken back out.
        if (!s_.b->follow && s_.b->followOri) pose.rotZ -= a.heading;
        pose.roll = v.xRot;
        pose.pitchUnderRoll = PitchUnderRoll(f.ex, v.xRot, s_.b->followOri);
        // The working path already carries the mean offsets (the global d, and for copies on
        // an item's own path the item's); what is left is each value's deviation from them. A
        // value to the left is a negative w. (Both deviations move the copy the way their
        // value points, so a randomised range puts copies between its two ends.)
        const float itemOnPath = offset == ItemOffset::OnPath ? it.pathOffset : 0.0f;
        pose.sideways = -(iv.sideOffset - itemOnPath) - (g.sideOffset - s_.b->pathOffset);
        pose.height = v.height;
        return ComposeCopyTransform(it.base, pose, s_.targetFromPath);
    }

    // ---- End objects: both ends of every open spline, the far one turned round.
    void Ends() {
        const int first = s_.b->objects + s_.b->posts;
        for (int i = 0; i < s_.b->ends; ++i) {
            const int k = first + i;
            const ItemData& it = s_.items[static_cast<std::size_t>(k)];
            if (!it.hasSettings) continue;
            // The twin switch lays a second pair beside the first, twinOffset further left.
            const int passes = it.read->twin ? 2 : 1;
            for (int pass = 0; pass < passes; ++pass) {
                const float offset =
                    s_.b->pathOffset + it.pathOffset + (pass == 1 ? it.read->twinOffset : 0.0f);
                for (int sp = 0; sp < s_.paths.SplineCount(); ++sp) {
                    const WorkingPath& path = s_.paths.Get(sp, offset);
                    const float L = path.Length();
                    if (path.Empty() || path.Closed() || !(L > 0.0f)) continue;
                    Place(k, Slot{sp, &path, it.read->startOffset / L}, SlotGlobals(),
                          ItemOffset::OnPath);
                    Place(k, Slot{sp, &path, 1.0f - it.read->endOffset / L}, SlotGlobals(),
                          ItemOffset::OnPath, true);
                }
            }
        }
    }

    // ---- Posts: at every knot and at the inner division points of the spans between knots.
    // A post's working path carries its own sideways offset as an end object's does, and posts
    // and end objects follow the path (Geo_Follow, Geo_Follow_Ori) as every copy does, so
    // switching the follow mode turns the whole distribution alike. Knot_Start_Offset,
    // Knot_End_Offset and StraightPost are stored but move no post.
    void Posts() {
        for (int p = 0; p < s_.b->posts; ++p) {
            const int k = s_.b->objects + p;
            const ItemData& it = s_.items[static_cast<std::size_t>(k)];
            if (!it.hasSettings) continue;
            for (int sp = 0; sp < s_.paths.SplineCount(); ++sp) {
                const WorkingPath& path = s_.paths.Get(sp, s_.b->pathOffset + it.pathOffset);
                const float L = path.Length();
                if (path.Empty() || !(L > 0.0f)) continue;
                for (const float at : PostParams(path)) {
                    Place(k, Slot{sp, &path, at}, SlotGlobals(), ItemOffset::OnPath);
                }
            }
        }
    }

    std::vector<float> PostParams(const WorkingPath& path) const {
        const std::vector<float> knots = path.KnotDistances();
        std::vector<float> params = PostDistances(knots, path.Closed(), s_.b->knotSpacing);
        const float L = path.Length();
        for (float& p : params) p /= L;
        return params;
    }

    // ---- The per-object pattern: each object along the whole path at its own spacing.
    void PerObject() {
        for (int k = 0; k < s_.b->objects; ++k) {
            const ItemData& it = s_.items[static_cast<std::size_t>(k)];
            if (!it.hasSettings) continue;
            // twinOffset moves the item's path; with both twin switches set the item runs on
            // its own path and again twinOffset to the right of it.
            std::vector<float> extras;
            if (it.read->twin && it.read->twinAcross)
                extras = {0.0f, -it.read->twinOffset};
            else
                extras = {it.read->twinOffset};
            for (const float extra : extras) {
                for (int sp = 0; sp < s_.paths.SplineCount(); ++sp) {
                    const WorkingPath& path =
                        s_.paths.Get(sp, s_.b->pathOffset + it.pathOffset + extra);
                    if (path.Empty()) continue;
                    PerObjectSpline(k, it, sp, path);
                }
            }
        }
    }

    void PerObjectSpline(int k, const ItemData& it, int sp, const WorkingPath& path) {
        const float L = path.Length();
        const float s0 = s_.b->globalStart + it.read->startOffset;
        const float s1 = s_.b->globalEnd + it.read->endOffset;
        if (!transforms_ && !it.settings.randomOn) {
            CountFixedSpacing(k, it, L, s0, s1, path.Closed());
            return;
        }
        std::vector<float> distances;
        if (!it.settings.randomOn) {
            distances = FixedSpacingDistances(L, s0, s1, it.settings.spacing.low, path.Closed());
        } else {
            const float reserve =
                path.Closed() ? 0.75f * std::min(it.settings.spacing.low, it.settings.spacing.high)
                              : 0.0f;
            // The gaps are drawn at the item's running counter, so each spline and each twin
            // pass gets gaps of its own (two parallel splines do not repeat one layout); the
            // copies' own values then start again at the item's first pool entry.
            int& ck = counters_[static_cast<std::size_t>(k)];
            const int first = ck;
            distances = RandomSpacingDistances(L, s0, s1, reserve, [&](int j) {
                const int entry = (first + j) % kPoolBlock;
                return SpacingValue(it.settings, s_.b->pools.At(ItemPoolIndex(k, entry)).spacing);
            });
            ck = 0;
        }
        if (!(L > 0.0f)) return;
        for (const float at : distances) {
            for (int r = 0; r <= it.read->repeats; ++r) {
                const float u = (at + static_cast<float>(r) * it.read->repeatGap) / L;
                if (u > 1.0f) continue;  // past the end of the path
                Place(k, Slot{sp, &path, u}, SlotGlobals(), ItemOffset::OnPath);
            }
        }
    }

    // A counting walk of a fixed spacing: the copies the loop above places, without listing
    // them. Copy j stands at s0 + j * spacing and repeat r r * gap past it; a repeat past the
    // end is left out. For each r those that stay form a first run of j (the distance grows
    // with j, in float as in the loop), found by bisection. Counters do not matter here: no
    // count depends on them with a fixed spacing.
    void CountFixedSpacing(int k, const ItemData& it, float L, float s0, float s1, bool closed) {
        const int n = FixedSpacingCount(L, s0, s1, it.settings.spacing.low, closed);
        if (!(L > 0.0f) || n == 0) return;
        const float spacing = it.settings.spacing.low;
        std::int64_t placed = 0;
        for (int r = 0; r <= it.read->repeats; ++r) {
            const auto within = [&](int j) {
                const float at = s0 + static_cast<float>(j) * spacing;
                return !((at + static_cast<float>(r) * it.read->repeatGap) / L > 1.0f);
            };
            int lo = 0, hi = n;  // within(j) for j < lo; not for j >= hi
            while (lo < hi) {
                const int mid = lo + (hi - lo) / 2;
                if (within(mid)) {
                    lo = mid + 1;
                } else {
                    hi = mid;
                }
            }
            placed += lo;
        }
        if (it.info.node != nullptr && (s_.b->solo <= 0 || s_.b->solo == k + 1) &&
            counts_ != nullptr) {
            counts_->perItem[static_cast<std::size_t>(k)] += placed;
            counts_->total += placed;
        }
    }

    // ---- The sequence: groups of rows at slots along the global working paths.
    struct SplineSlots {
        int spline = 0;
        const WorkingPath* path = nullptr;
        std::vector<float> params;
        bool skipLast = false;  // a closed path's last slot, where the first stands again
    };

    void Sequence() {
        std::vector<SplineSlots> all;
        for (int sp = 0; sp < s_.paths.SplineCount(); ++sp) {
            const WorkingPath& path = s_.paths.Get(sp, s_.b->pathOffset);
            SplineSlots slots{sp, &path, {}, path.Closed()};
            if (!path.Empty()) {
                const float L = path.Length();
                const int n =
                    SlotCount(L, s_.b->globalStart, s_.b->globalEnd, s_.global.spacing.low);
                slots.params.reserve(static_cast<std::size_t>(n));
                for (int i = 0; i < n; ++i)
                    slots.params.push_back(
                        SequenceSlotParam(i, n, L, s_.b->globalStart, s_.b->globalEnd));
            }
            all.push_back(std::move(slots));
        }
        Groups(all);
    }

    // The sequence between posts: its slots lie between the posts of the global working path.
    void BetweenPosts() {
        std::vector<SplineSlots> all;
        for (int sp = 0; sp < s_.paths.SplineCount(); ++sp) {
            const WorkingPath& path = s_.paths.Get(sp, s_.b->pathOffset);
            SplineSlots slots{sp, &path, {}, false};
            if (!path.Empty() && path.Length() > 0.0f) {
                // The span from the last post round to the first is used only on a closed path
                // without start or end offsets.
                const bool closingSpan = path.Closed() && !s_.b->anyEndOffset;
                slots.params = BetweenPostParams(PostParams(path), closingSpan, path.Length(),
                                                 s_.b->knotThresh, s_.global.spacing.low);
            }
            all.push_back(std::move(slots));
        }
        Groups(all);
    }

    // Group by group: c0 and the Geo_Array index start at 0 for each group; the Geo_Array index
    // runs on across the splines while the cycling counter of Geo_Pattern 1 starts again on
    // each. A slot whose Geo_Array entry is missing (the array shorter than the slots) holds no
    // group. Rows naming no distribution object (-1, or an index past Object_Nodes) add nothing.
    void Groups(const std::vector<SplineSlots>& all) {
        // The group numbers in use, in order (a damaged table naming huge groups costs nothing).
        std::vector<int> used;
        for (const int g : s_.b->rowGroups)
            if (g >= 0 && g < s_.b->groups) used.push_back(g);
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        for (const int g : used) {
            std::vector<int> rows;
            for (std::size_t r = 0; r < s_.b->rowGroups.size(); ++r) {
                if (s_.b->rowGroups[r] == g) rows.push_back(s_.b->rowItems[r]);
            }
            c0_ = 0;
            std::size_t a = 0;
            for (const SplineSlots& slots : all) {
                int q = 0;
                const std::size_t n = slots.params.size();
                for (std::size_t i = 0; i < n; ++i, ++a, q = (q + 1) % s_.b->groups) {
                    if (slots.skipLast && i + 1 == n) continue;
                    const int group = s_.b->pattern == 0
                                          ? (a < s_.b->geoArray.size() ? s_.b->geoArray[a] : -1)
                                          : q;
                    if (group != g) continue;
                    const Slot slot{slots.spline, slots.path, slots.params[i]};
                    const Globals globals = SlotGlobals();
                    for (const int k : rows) {
                        if (k < 0 || k >= s_.b->objects) continue;
                        if (!s_.items[static_cast<std::size_t>(k)].hasSettings) continue;
                        Place(k, slot, globals, ItemOffset::InValues);
                    }
                }
            }
        }
    }

    Placement::State& s_;
    CopyVisitor& visitor_;
    bool transforms_;
    PassCounts* counts_;  // a counting walk's counts, added to in bulk where they are arithmetic
    std::vector<int> counters_;
    int c0_ = 0;
    bool haveAngles_ = false;
    Point3 lastTangent_;
    PathAngles lastAngles_;
};

}  // namespace

Placement::Placement(std::unique_ptr<State> state) : state_(std::move(state)) {}
Placement::Placement(Placement&&) noexcept = default;
Placement& Placement::operator=(Placement&&) noexcept = default;
Placement::~Placement() = default;

Placement Placement::Prepare(Trellon& object, TimeValue t, const PlacementOptions& options) {
    IParamBlock2* pb = object.GetParamBlock(0);
    INode* pathNode = pb ? pb->GetINode(Spline_Obj, t) : nullptr;
    PathShape path = PathShape::Evaluate(pathNode, t);
    const BezierShape* shape = path.Shape();
    auto state = std::make_unique<State>(object, t, WorkingPathCache(object, shape, t));
    state->ownedPath.emplace(std::move(path));
    if (pb && shape) {
        state->ownedSettings.emplace(BuildSettings::Read(*pb, t));
        state->Read(*state->ownedSettings, options);
    }
    return Placement(std::move(state));
}

Placement Placement::Prepare(Trellon& object, const BuildSettings& settings, WorkingPathCache paths,
                             const PlacementOptions& options) {
    auto state = std::make_unique<State>(object, settings.t, std::move(paths));
    if (state->paths.SplineCount() > 0) state->Read(settings, options);
    return Placement(std::move(state));
}

const BuildSettings* Placement::Settings() const { return state_->valid ? state_->b : nullptr; }

std::vector<PlacementPass> Placement::Passes() const {
    std::vector<PlacementPass> passes;
    if (!state_->valid) return passes;
    const BuildSettings& b = *state_->b;
    if (b.ends > 0) passes.push_back(PlacementPass::Ends);
    if (b.posts > 0)
        passes.push_back(PlacementPass::Posts);
    else if (b.objects > 0)
        passes.push_back(b.pattern == 2 ? PlacementPass::PerObject : PlacementPass::Sequence);
    return passes;
}

void Placement::Walk(PlacementPass pass, CopyVisitor& visitor) {
    if (!state_->valid) return;
    Walker(*state_, visitor, true).Run(pass);
}

PassCounts Placement::Count(PlacementPass pass) {
    PassCounts counts;
    counts.perItem.assign(state_->items.size(), 0);
    if (!state_->valid) return counts;
    struct Counter final : CopyVisitor {
        explicit Counter(PassCounts& c) : counts(c) {}
        void Copy(const PlacedCopy& copy) override {
            ++counts.perItem[static_cast<std::size_t>(copy.item)];
            ++counts.total;
        }
        PassCounts& counts;
    } counter(counts);
    Walker(*state_, counter, false, &counts).Run(pass);
    return counts;
}

int Placement::ItemCount() const { return static_cast<int>(state_->items.size()); }

const PlacementItem& Placement::Item(int k) const {
    if (k < 0 || k >= ItemCount()) return state_->noItem;
    return state_->items[static_cast<std::size_t>(k)].info;
}

}  // namespace trellon
