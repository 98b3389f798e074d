// The editor's state, tool table, tool use and undo.
#include "editor/editor.h"

#include <cstring>
#include <vector>

#include "app/signals.h"
#include "io/binary.h"
#include "io/cp1251.h"
#include "sound/sound.h"
#include "ui/widget.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/fgr_ops.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/spawn.h"
#include "world/terrain.h"

EditorState editor;
EditorDesktop editorDesktop;
Widget* editorBar = nullptr;

namespace {

constexpr int kUndoSignal = 10;
constexpr int kDragToolMax = 10;   // tools above this do nothing when dragged

// clang-format off
const EditorTool kTools[kEditorTools] = {
    {"Норма"_w, "обычные проходимые клетки"_w, kToolTerrain, kBrushPlain, 2, 1, 0},
    {"Песок"_w, "песок - обычные клетки"_w, kToolTerrain, kBrushSand, 2, 0, 0},
    {"Грязь"_w, "грязь - обычные клетки"_w, kToolTerrain, kBrushDirt, 2, 0, 0},
    {"Море"_w, "на песке - глубокая вода"_w, kToolTerrain, kBrushWater, 5, 0, 2},
    {"Яма"_w, "на грязи - помеха движению (если не летаем и не прыгаем)"_w, kToolTerrain, kBrushHole, 1, 0, 0},
    {"Скала"_w, "на грязи помеха движению (если не летаем)"_w, kToolTerrain, kBrushRock, 6, 0, 0},
    {"куст1"_w, "землю пока не меняем"_w, kToolPlant, 1, 0, 0, 0},
    {"куст2"_w, "землю пока не меняем"_w, kToolPlant, 2, 0, 0, 0},
    {"куст3"_w, "землю пока не меняем"_w, kToolPlant, 3, 0, 0, 0},
    {"куст4"_w, "землю пока не меняем"_w, kToolPlant, 4, 0, 0, 0},
    {"Пальма"_w, "землю пока не меняем"_w, kToolPlant, 5, 0, 0, 0},
    {"крис-R"_w, "пра-клик: рубин - красный"_w, kToolCrystal, 1, 0, 0, 0},
    {"крис-G"_w, "пра-клик: изумруд - зелень"_w, kToolCrystal, 2, 0, 0, 0},
    {"крис-B"_w, "пра-клик: сапфир - синь"_w, kToolCrystal, 3, 0, 0, 0},
    {"крис-A"_w, "пра-клик: алмаз - жолтый)"_w, kToolCrystal, 4, 0, 0, 0},
    {"кр-Бел"_w, "пра-клик: случайный - начало новой тройки"_w, kToolCrystal, 5, 0, 0, 0},
    {"кр-Уник"_w, "пра-клик: повтор последнего кристала"_w, kToolCrystal, 6, 0, 0, 0},
    {"sunduk"_w, "пра-клик: особый сундук"_w, kToolLoot, 1, 0, 0, 0},
    {"золото"_w, "пра-клик: горка золота"_w, kToolLoot, 2, 0, 0, 0},
    {"груда"_w, "пра-клик: горка мусора - для квэстов"_w, kToolLoot, 3, 0, 0, 0},
    {"дроп"_w, "пра-клик: дроп-мешок"_w, kToolLoot, 4, 0, 0, 0},
    {"Бетон"_w, "на песок - обычные клетки (не копаются)"_w, kToolTerrain, kBrushConcrete, 2, 0, 0},
    {"Купец"_w, "пра-клик: нейтрал-купец"_w, kToolNpc, 1, 0, 0, 0},
    {"враг1"_w, "пра-клик: враг собака"_w, kToolMonster, 5, 0, 0, 0},
    {"враг2"_w, "пра-клик: враг бандит"_w, kToolMonster, 7, 0, 0, 0},
    {"dog2"_w, "пра-клик: враг собака2"_w, kToolMonster, 6, 0, 0, 0},
    {"razboi"_w, "пра-клик: враг бандит2"_w, kToolMonster, 8, 0, 0, 0},
};
// clang-format on

// ---- undo history

// The saved part of a cell: everything the location file holds.
struct UndoCell {
    int k;
    std::uint8_t bytes[8];
    std::int32_t param;
};
// A figure the stroke created (undo removes it) or removed (undo puts its
// record back into the same slot).
struct UndoFigure {
    int slot;
    int created;
    std::vector<std::uint8_t> record;
};
struct UndoStep {
    std::vector<UndoCell> cells;
    std::vector<UndoFigure> figures;
};

std::vector<UndoStep> undoSteps;
int cellStamp[kKleCount];   // stroke serial that last saved the cell
int strokeSerial = 0;
int dragOpen = 0;           // an F1 drag stroke is going on
int dragSeen = 0;           // the drag applied in this frame

void StartStroke() {
    ++strokeSerial;
    if (!undoSteps.empty() && undoSteps.back().cells.empty() && undoSteps.back().figures.empty()) return;
    if (static_cast<int>(undoSteps.size()) >= kEditorUndoSteps) undoSteps.erase(undoSteps.begin());
    undoSteps.emplace_back();
}

void SaveCell(int k) {
    if (k < 0 || k >= kKleCount || cellStamp[k] == strokeSerial || undoSteps.empty()) return;
    cellStamp[k] = strokeSerial;
    const Kle& c = masKle.m[k];
    undoSteps.back().cells.push_back(
        {k, {c.landType, c.landSub, c.landHint, c.tile, c.aux0, c.aux1, c.aux2, c.brushMark}, c.cellParam});
}

// Every cell a stroke at h can touch: the 5 x 5 brush paints rows and
// columns -2..+2, and a painted cell changes the tiles up and left of it.
void SaveCellsAround(int h) {
    const int row = KleRow(h), col = KleCol(h);
    for (int r = row - 3; r <= row + 3; ++r)
        for (int c = col - 3; c <= col + 3; ++c)
            if (r >= 0 && r < kKleRows && c >= 0 && c < kKleCols) SaveCell(KleIndex(r, c));
}

void RestoreCell(const UndoCell& u) {
    Kle& c = masKle.m[u.k];
    c.landType = u.bytes[0];
    c.landSub = u.bytes[1];
    c.landHint = u.bytes[2];
    c.tile = u.bytes[3];
    c.aux0 = u.bytes[4];
    c.aux1 = u.bytes[5];
    c.aux2 = u.bytes[6];
    c.brushMark = u.bytes[7];
    c.cellParam = u.param;
}

void NoteCreated(const Fgr* f) {
    if (f && !undoSteps.empty()) undoSteps.back().figures.push_back({FgrSlotOf(f), 1, {}});
}

// Takes a figure off the map for good: every cell that names it, its guns.
void RemoveFigure(Fgr* f) {
    if (!f || f->fgrKind == 0) return;
    for (int k : {f->firstAnchor, f->secondAnchor, KleAt(f->x, f->z)}) {
        if (!KleInterior(k)) continue;
        Kle& c = masKle.m[k];
        if (c.fgrKey == f) c.fgrKey = nullptr;
        if (c.fgrMove == f) c.fgrMove = nullptr;
    }
    Fgr* guns[16];
    int n = 0;
    for (Fgr* g = f->guns; g && n < 16; g = g->next) guns[n++] = g;
    FgrRemove(f);
    FgrReset(f);
    for (int i = 0; i < n; ++i) FgrReset(guns[i]);
}

void RemoveAnchored(int h) {
    Fgr* f = masKle.m[h].fgrKey;
    if (!undoSteps.empty()) {
        ByteWriter w;
        WriteFigureRecord(w, f);
        undoSteps.back().figures.push_back({FgrSlotOf(f), 0, std::move(w.bytes)});
    }
    RemoveFigure(f);
}

// Placed figures stand in the cell at once; the world, which would clear
// the newborn mark, does not run while the editor is open.
Fgr* Anchor(Fgr* f, int h) {
    if (!f) return nullptr;
    f->bornNow = 0;
    masKle.m[h].fgrKey = f;
    f->onMap = 1;
    if (f->firstAnchor == 0) f->firstAnchor = h;
    return f;
}

void PlaceObject(const EditorTool& t, int h) {
    if (!KleInterior(h)) return;
    if (masKle.m[h].fgrKey) {
        RemoveAnchored(h);
        return;
    }
    Fgr* f = nullptr;
    if (t.what == kToolPlant) f = MakePlant(t.type, h);
    else if (t.what == kToolCrystal) f = MakeCrystal(t.type, h);
    else f = MakeLoot(t.type, h);
    NoteCreated(Anchor(f, h));
}

void PlaceUnit(const EditorTool& t, int h) {
    float x, z;
    if (!KleCentre(h, &x, &z)) return;
    Fgr* f = nullptr;
    if (t.what == kToolNpc) {
        f = FgrCreateFigure(kKindNpc, x, z);
        if (f) {
            f->unitType = t.type;
            FgrSetSide(f, kSidePlayer);
            FgrSetName(f, t.label);
        }
    } else {
        // A placed monster is a start point: the game start spawns a fresh,
        // armed one there. Gun links are not saved, so a gun would be junk.
        f = SpawnMonster(t.type, x, z, 0);
        while (f && f->guns) {
            Fgr* gun = f->guns;
            FgrRemove(gun);
            FgrReset(gun);
        }
    }
    if (!f) return;
    f->bornNow = 0;
    NoteCreated(f);
}

// Size-1 painting of one cell; non-interior cells are ignored.
void PaintCell(int k, const EditorTool& t, bool keepTile) {
    if (!KleInterior(k)) return;
    Kle& c = masKle.m[k];
    if (!keepTile) {
        const int tile = PaintTile(k, t.type);
        if (tile == 0) return;
        c.tile = static_cast<std::uint8_t>(tile);
    }
    c.landType = t.landType;
    c.landSub = t.landSub;
    c.landHint = t.landHint;
}

void Paint3(int h, const EditorTool& t) {
    static constexpr int kOrder[9] = {-257, -256, -255, -1, 0, 1, 255, 256, 257};
    for (int d : kOrder) PaintCell(h + d, t, false);
}

void PaintTerrain(const EditorTool& t, int h) {
    SaveCellsAround(h);
    if (editor.brushSize == 5) {
        for (int d : {-257, 255, -255, 257, 0}) Paint3(h + d, t);
    } else if (editor.brushSize == 3) {
        Paint3(h, t);
    } else {
        PaintCell(h, t, editor.keepVisuals != 0);
    }
    if (KleInterior(h)) {
        Kle& c = masKle.m[h];
        switch (c.landType) {
            case kLandHole: c.brushMark = 93; break;
            case kLandDeepWater: c.brushMark = 2; break;
            case kLandRock: c.brushMark = 8; break;
            case kLandSolid: c.brushMark = 7; break;
            default: break;
        }
    }
    RefreshOverviewAround(h, 2);   // as far as the 5 x 5 brush reaches
}

void ApplyHook(int drag) { EditorApplyTool(drag); }

}  // namespace

const EditorTool* EditorToolOf(int code) { return code >= 1 && code <= kEditorTools ? &kTools[code - 1] : nullptr; }

void EditorReset() {
    editor = EditorState{};
    undoSteps.clear();
    std::memset(cellStamp, 0, sizeof cellStamp);
    strokeSerial = 0;
    dragOpen = dragSeen = 0;
}

void EditorInstall() {
    mapHooks.editorApplyTool = ApplyHook;
    mapHooks.editorFrame = EditorFrame;
}

void EditorSelectTool(int code) {
    editor.selectedTool = EditorToolOf(code) ? code : 0;
    PlayIfIdle(&sndSource1, soundOn);
}

void EditorToggleKeepVisuals() {
    editor.keepVisuals = !editor.keepVisuals;
    if (editor.keepVisuals) editor.brushSize = 1;
}

void EditorCycleBrush() { editor.brushSize = editor.brushSize == 1 ? 3 : editor.brushSize == 3 ? 5 : 1; }

void EditorToggleGrid() { editor.grid = !editor.grid; }

void EditorApplyTool(int drag) { EditorApplyAt(hoverCell, drag); }

void EditorApplyAt(int h, int drag) {
    if (!editor.open) return;
    const EditorTool* t = EditorToolOf(editor.selectedTool);
    if (drag && editor.selectedTool > kDragToolMax) return;
    if (!t) return;
    if (drag) {
        dragSeen = 1;
        if (!dragOpen) StartStroke();
        dragOpen = 1;
    } else {
        StartStroke();
        dragOpen = 0;
    }
    editor.edited = 1;
    switch (t->what) {
        case kToolTerrain: PaintTerrain(*t, h); break;
        case kToolPlant:
        case kToolCrystal:
        case kToolLoot: PlaceObject(*t, h); break;
        default: PlaceUnit(*t, h); break;
    }
}

void EditorFrame() {
    editor.hoveredCell = hoverCell;
    if (!dragSeen) dragOpen = 0;
    dragSeen = 0;
    if (sigTable[kUndoSignal].fired) EditorUndo();
}

int EditorUndoDepth() {
    int n = 0;
    for (const UndoStep& s : undoSteps) n += !(s.cells.empty() && s.figures.empty());
    return n;
}

int EditorUndo() {
    while (!undoSteps.empty() && undoSteps.back().cells.empty() && undoSteps.back().figures.empty())
        undoSteps.pop_back();
    if (undoSteps.empty()) return 0;
    UndoStep step = std::move(undoSteps.back());
    undoSteps.pop_back();
    dragOpen = 0;
    ++strokeSerial;   // cells saved by the undone stroke may be saved again
    for (auto it = step.figures.rbegin(); it != step.figures.rend(); ++it) {
        if (it->slot < 1 || it->slot > kFigureSlots) continue;
        Fgr* f = &FigureTable[it->slot];
        if (it->created) {
            RemoveFigure(f);
            continue;
        }
        if (f->fgrKind != 0) continue;   // never over a living figure
        ByteReader r(it->record);
        if (LoadMortFrom(f, r)) f->slotIndex = it->slot;
    }
    for (const UndoCell& u : step.cells) RestoreCell(u);
    BuildLocationOverview();
    return 1;
}

void EditorClearUndo() {
    undoSteps.clear();
    ++strokeSerial;
    dragOpen = dragSeen = 0;
}

void EditorShowBar(int shown) {
    if (editorBar) editorBar->visible = shown ? 1 : 0;
}
