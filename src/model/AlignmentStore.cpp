#include "model/AlignmentStore.h"

#include "model/ElementSearch.h"
#include "shell/ErrHandler.h"

#include <utility>
#include <vector>

namespace vialto {

namespace {

// Whether a slot's element starts ascend, found when they are set.
struct StartOrder {
    bool Hz = true;
    bool Vt = true;
};

struct Store {
    std::vector<AlignmentSlot> slots = std::vector<AlignmentSlot>(1);
    std::vector<StartOrder> order = std::vector<StartOrder>(1);
    int count = 0;
};

Store &TheStore() {
    static Store store;
    return store;
}

// The slot, raising "Subscript out of range" above the array's bound.
AlignmentSlot &Slot(SlotNumber slot) {
    Store &store = TheStore();
    if (slot >= store.slots.size())
        RaiseRuntime(errSubscript, "alignment slot " + std::to_string(slot));
    return store.slots[slot];
}

// The slot when it has the part; error 20000 with the description otherwise.
AlignmentSlot &SlotWith(SlotNumber slot, int flag, const char *description) {
    AlignmentSlot &s = Slot(slot);
    if ((s.Flags & flag) != flag)
        RaiseError(errAssert, description);
    return s;
}

constexpr const char *kNoHz = "There are not Hz aligment to return";
constexpr const char *kNoVt = "There are not Vt aligment to return";

} // namespace

void ResetAlignments() {
    Store &store = TheStore();
    store.slots.assign(1, AlignmentSlot{});
    store.order.assign(1, StartOrder{});
    store.count = 0;
}

void AddAlignment() {
    Store &store = TheStore();
    if (store.count >= 255)
        RaiseRuntime(errOverflow, "more than 255 alignments");
    ++store.count;
    store.slots.resize(static_cast<std::size_t>(store.count) + 1);
    store.order.resize(store.slots.size());
}

SlotNumber GetAlignmentCount() { return static_cast<SlotNumber>(TheStore().count); }

int GetAlignmentFlags(SlotNumber slot) { return Slot(slot).Flags; }

bool ExistAlignment(int mask, SlotNumber slot) {
    const Store &store = TheStore();
    return slot < store.slots.size() && (store.slots[slot].Flags & mask) == mask;
}

std::string GetAligmentName(SlotNumber slot) { return Slot(slot).Name; }
void SetAligmentName(SlotNumber slot, const std::string &name) { Slot(slot).Name = name; }

HzAlignment GetAligmentHz(SlotNumber slot) { return SlotWith(slot, flagHz, kNoHz).Hz; }

const HzAlignment &ViewAligmentHz(SlotNumber slot) { return SlotWith(slot, flagHz, kNoHz).Hz; }

ElementSearch<HzElement> SearchAligmentHz(SlotNumber slot) {
    return ElementSearch<HzElement>(SlotWith(slot, flagHz, kNoHz).Hz, TheStore().order[slot].Hz);
}

void GetAligmentHzWithChainage(HzElement &element, SlotNumber slot, double chainage) {
    const ElementSearch<HzElement> search = SearchAligmentHz(slot);
    const long i = search.At(chainage);
    if (i == 0)
        RaiseRuntime(errSubscript, "empty horizontal alignment");
    element = search.Elements()[static_cast<std::size_t>(i)];
}

void SetAligmentHz(SlotNumber slot, const HzAlignment &elements) {
    AlignmentSlot &s = Slot(slot);
    s.Flags |= flagHz;
    s.Hz = elements;
    TheStore().order[slot].Hz = ElementStartsAscend(s.Hz);
}

VtAlignment GetAligmentVt(SlotNumber slot) { return SlotWith(slot, flagVt, kNoVt).Vt; }

const VtAlignment &ViewAligmentVt(SlotNumber slot) { return SlotWith(slot, flagVt, kNoVt).Vt; }

ElementSearch<VtElement> SearchAligmentVt(SlotNumber slot) {
    return ElementSearch<VtElement>(SlotWith(slot, flagVt, kNoVt).Vt, TheStore().order[slot].Vt);
}

void SetAligmentVt(SlotNumber slot, VtAlignment elements) {
    AlignmentSlot &s = Slot(slot);
    s.Flags |= flagVt;
    s.Vt = std::move(elements);
    TheStore().order[slot].Vt = ElementStartsAscend(s.Vt);
}

void GetStartEndAligmentVt(SlotNumber slot, double &start, double &end) {
    const VtAlignment &vt = Slot(slot).Vt;
    const long n = ElementCount(vt);
    if (n == 0)
        RaiseRuntime(errSubscript, "empty vertical alignment");
    start = vt[1].Chainage;
    end = vt[n].Chainage + vt[n].Length;
}

StationEquations GetStationEquations(SlotNumber slot) {
    return SlotWith(slot, flagStaEq, "There are not Station equation to return").StaEq;
}

void SetStationEquations(SlotNumber slot, const StationEquations &list) {
    AlignmentSlot &s = Slot(slot);
    s.Flags |= flagStaEq;
    s.StaEq = list;
}

bool HasStationEquations(SlotNumber slot) {
    return ExistAlignment(flagStaEq, slot) && ElementCount(Slot(slot).StaEq) >= 1;
}

CrossSectionSet GetAligmentCr(SlotNumber slot) {
    return SlotWith(slot, flagCr, "There are not Cr aligment to return").Cr;
}

const CrossSectionSet &ViewAligmentCr(SlotNumber slot) {
    return SlotWith(slot, flagCr, "There are not Cr aligment to return").Cr;
}

CrossSectionSet TakeAligmentCr(SlotNumber slot) {
    return std::move(SlotWith(slot, flagCr, "There are not Cr aligment to return").Cr);
}

void SetAligmentCr(SlotNumber slot, const CrossSectionSet &set) {
    AlignmentSlot &s = Slot(slot);
    s.Flags |= flagCr;
    s.Cr = set;
}

void SetAligmentCr(SlotNumber slot, CrossSectionSet &&set) {
    AlignmentSlot &s = Slot(slot);
    s.Flags |= flagCr;
    s.Cr = std::move(set);
}

const std::any &GetAligmentShared(SlotNumber slot, SlotFlag part) {
    if (part == flagSup)
        return SlotWith(slot, flagSup, "There are not Sup aligment to return").Sup;
    if (part == flagTnl)
        return SlotWith(slot, flagTnl, "There are not tunnel aligment to return").Tnl;
    RaiseError(errAssert, "Only the cant table and the tunnel profile set are shared");
}

void SetAligmentShared(SlotNumber slot, SlotFlag part, std::any object) {
    if (part != flagSup && part != flagTnl)
        RaiseError(errAssert, "Only the cant table and the tunnel profile set are shared");
    AlignmentSlot &s = Slot(slot);
    s.Flags |= part;
    (part == flagSup ? s.Sup : s.Tnl) = std::move(object);
}

TStringLines GetAligmentStrLn(SlotNumber slot) {
    return SlotWith(slot, flagStrLn, "There are not StrLn aligment to return").StrLn;
}

void SetAligmentStrLn(SlotNumber slot, const TStringLines &set) {
    AlignmentSlot &s = Slot(slot);
    s.Flags |= flagStrLn;
    s.StrLn = set;
}

bool GetAligmentStrLnWithName(TStringLine &line, SlotNumber slot, const std::string &name) {
    if (name.empty() || !ExistAlignment(flagStrLn, slot))
        return false;
    const TStringLines &set = Slot(slot).StrLn;
    for (int i = 0; i <= set.Count && i < static_cast<int>(set.Lines.size()); ++i) {
        if (set.Lines[static_cast<std::size_t>(i)].Name == name) {
            line = set.Lines[static_cast<std::size_t>(i)];
            return true;
        }
    }
    return false;
}

bool ImportStrLnAligment(TStringLines &, const std::string &) {
    return Guarded("ImportStrLnAligment", false,
                   []() -> bool { RaiseError(errAssert, "Stringline files are not supported"); });
}

} // namespace vialto
