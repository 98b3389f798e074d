// The editor's lifecycle: new ground, opening a location pair (checked
// whole before anything changes), saving the pair, and leaving the editor
// for a new game on the edited location.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/game_state.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "editor/editor.h"
#include "io/binary.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/platform.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_grid.h"
#include "world/spawn.h"

namespace {

constexpr std::size_t kFigureFileMax = 4 + std::size_t(kFigureSlots) * kFgrRecordBytes;
constexpr std::size_t kRecKind = 8;          // offsets inside a figure record
constexpr std::size_t kRecInts = 12;
constexpr std::size_t kRecFloats = 12 + 4 * kFgrIntWords;
constexpr int kWordOnMap = 76;
constexpr int kWordMoveMode = 69;
constexpr int kFloatX = 3, kFloatZ = 4;
constexpr int kMapCentre = 1280;

std::string Format(const char* fmt, long long a, long long b = 0, long long c = 0) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

std::int32_t I32At(std::span<const std::uint8_t> b, std::size_t at) {
    ByteReader r(b.subspan(at, 4));
    std::int32_t v = 0;
    r.ReadI32(v);
    return v;
}

float F32At(std::span<const std::uint8_t> b, std::size_t at) {
    ByteReader r(b.subspan(at, 4));
    float v = 0.0f;
    r.ReadF32(v);
    return std::isfinite(v) ? v : 0.0f;   // the loader mends the same way
}

bool CheckLocation(std::span<const std::uint8_t> loc, std::string& why) {
    if (loc.empty()) {
        why = "Файл локации пуст."_w;
        return false;
    }
    if (loc.size() < 8 || I32At(loc, 0) != 256 || I32At(loc, 4) != 256) {
        why = "Это не файл локации (нет размера 256 x 256)."_w;
        return false;
    }
    if (loc.size() != kLocFileBytes) {
        why = Format("Файл локации повреждён: %lld байт вместо %lld."_w, static_cast<long long>(loc.size()),
                     static_cast<long long>(kLocFileBytes));
        return false;
    }
    return true;
}

// The figure file is walked without touching the figure table: every record
// whole, every kind known, anchored figures and units inside the interior,
// no two anchored figures on one cell.
bool CheckFigures(std::span<const std::uint8_t> figs, std::span<const std::uint8_t> loc, std::string& why,
                  std::string& warn) {
    if (figs.size() < 4) {
        why = "Файл фигур (.fgr) пуст или обрезан."_w;
        return false;
    }
    const std::int32_t n = I32At(figs, 0);
    if (n < 0 || n > kFigureSlots) {
        why = Format("Файл фигур (.fgr) повреждён: число фигур %lld."_w, n);
        return false;
    }
    if (figs.size() != 4 + std::size_t(n) * kFgrRecordBytes) {
        why = Format("Файл фигур (.fgr) повреждён: %lld фигур не сходятся с длиной %lld байт."_w, n,
                     static_cast<long long>(figs.size()));
        return false;
    }
    static int owner[kKleCount];   // 1-based record that anchors the cell
    std::memset(owner, 0, sizeof owner);
    for (int i = 0; i < n; ++i) {
        const auto rec = figs.subspan(4 + std::size_t(i) * kFgrRecordBytes, kFgrRecordBytes);
        const int kind = I32At(rec, kRecKind);
        const FgrKindInfo* info = FgrKindFind(kind);
        if (!info) {
            why = Format("Фигура %lld: неизвестный вид %lld."_w, i + 1, kind);
            return false;
        }
        const bool anchored = I32At(rec, kRecInts + 4 * kWordOnMap) != 0;
        const bool unit = info->fgrClass == kClassUnit;
        if (!anchored && !unit) continue;
        const float x = F32At(rec, kRecFloats + 4 * kFloatX), z = F32At(rec, kRecFloats + 4 * kFloatZ);
        const int k = KleAt(x, z);
        if (k < 0) {
            const int raw = KleCellXZ(x, z);
            why = raw >= 0 ? Format("Фигура %lld (вид %lld) стоит на краевой клетке %lld."_w, i + 1, kind, raw)
                           : Format("Фигура %lld (вид %lld) стоит вне карты."_w, i + 1, kind);
            return false;
        }
        if (anchored) {
            if (owner[k]) {
                why = Format("Две фигуры (%lld и %lld) занимают клетку %lld."_w, owner[k], i + 1, k);
                return false;
            }
            owner[k] = i + 1;
        }
        const int mode = I32At(rec, kRecInts + 4 * kWordMoveMode);
        const int cls = mode >= 1 && mode <= kPathClasses ? mode : info->moveMode;
        const int landType = loc[kLocHeaderBytes + std::size_t(k) * kLocCellBytes];
        if (unit && cls >= 1 && cls <= kPathClasses && (PathLandTypeMask(landType) & (1 << (cls - 1))))
            warn += Format("Юнит %lld (вид %lld) стоит на клетке %lld, непроходимой для него.\n"_w, i + 1, kind, k);
    }
    return true;
}

void CopyName(char* to, const char* from) {
    std::memset(to, 0, kEditorNameBytes);
    if (from) std::memcpy(to, from, strnlen(from, kEditorNameBytes - 1));
}

int Box(const std::string& text, int flags) {
    if (!editorDesktop.messageBox) return IDOK;
    return editorDesktop.messageBox(text.c_str(), "Редактор"_w, flags);
}

// The dialogs start in the game folder, or at the current location's name.
void DialogStart(char* buffer, std::size_t size, const char* name) {
    std::memset(buffer, 0, size);
    if (name && name[0]) std::snprintf(buffer, size, "%s", name);
    else if (editorDesktop.startFolder && editorDesktop.startFolder[0])
        std::snprintf(buffer, size, "%s/", editorDesktop.startFolder);
}

void OpenEditorOn(const char* name) {
    editor.open = 1;
    editor.edited = 0;
    CopyName(editor.locName, name);
    CopyName(editor.fileName, name);
    EditorClearUndo();
    EditorShowBar(1);
}

}  // namespace

bool EditorOpenBytes(const char* name, std::span<const std::uint8_t> location,
                     std::span<const std::uint8_t> figures, bool hasFigures, std::string& why,
                     std::string& warn) {
    why.clear();
    warn.clear();
    if (!CheckLocation(location, why)) return false;
    if (hasFigures && !CheckFigures(figures, location, why, warn)) return false;

    ResetRuleState();
    ParseLocation(location);
    LoadLocationPictures();
    StartPointsReset();
    if (hasFigures) {
        ParseFigures(figures);
        // Start points stay visible while they are being edited.
        for (int s = 1; s <= kFigureSlots; ++s)
            if (FigureTable[s].fgrKind && FgrIsMonsterStartPoint(&FigureTable[s])) FigureTable[s].active = 1;
        StartPointsReset();
    }
    OpenEditorOn(name);
    return true;
}

bool EditorOpenPath(const char* name, std::string& why, std::string& warn) {
    if (!name || !name[0]) {
        why = "Нет имени файла."_w;
        return false;
    }
    if (std::strlen(name) + 4 >= kEditorNameBytes) {
        why = Format("Имя файла длиннее %lld знаков."_w, kEditorNameBytes - 5);
        return false;
    }
    std::vector<std::uint8_t> loc, figs;
    const FileStatus ls = ReadWholeFile(name, loc, kLocFileBytes + 1);
    if (ls == FileStatus::Missing) {
        why = "Файл не найден или не читается."_w;
        return false;
    }
    if (ls != FileStatus::Ok) {
        why = "Это не файл локации (слишком большой или не читается)."_w;
        return false;
    }
    const std::string fgrName = std::string(name) + ".fgr";
    const FileStatus fs = ReadWholeFile(fgrName.c_str(), figs, kFigureFileMax + 1);
    if (fs == FileStatus::TooLarge || fs == FileStatus::ReadError) {
        why = "Файл фигур (.fgr) слишком большой или не читается."_w;
        return false;
    }
    return EditorOpenBytes(name, loc, figs, fs == FileStatus::Ok, why, warn);
}

bool EditorSaveFiles(const char* name, std::string& why) {
    if (!name || !name[0]) {
        why = "Нет имени файла."_w;
        return false;
    }
    if (std::strlen(name) + 4 >= kEditorNameBytes) {
        why = Format("Имя файла длиннее %lld знаков: выбери другое."_w, kEditorNameBytes - 5);
        return false;
    }
    ByteWriter loc, figs;
    WriteLocation(loc);
    WriteFigures(figs);
    std::vector<std::uint8_t> old;
    const bool hadOld = ReadWholeFile(name, old, kLocFileBytes + 4096) == FileStatus::Ok;
    if (WriteFileSafely(name, loc.bytes) != FileStatus::Ok) {
        why = "Не удалось записать файл локации (папка закрыта для записи?). Выбери другое имя."_w;
        return false;
    }
    const std::string fgrName = std::string(name) + ".fgr";
    if (WriteFileSafely(fgrName.c_str(), figs.bytes) != FileStatus::Ok) {
        // The pair stays a pair: the old location goes back.
        if (hadOld) WriteFileSafely(name, old);
        else std::remove(name);
        why = "Не удалось записать файл фигур (.fgr). Выбери другое имя."_w;
        return false;
    }
    return true;
}

void EditorNewLocation() {
    ResetRuleState();
    NewGround();
    StartPointsReset();
    OpenEditorOn("");
    editor.edited = 1;
    camX = kMapCentre - camWidth / 2;
    camZ = kMapCentre - camHeight / 2;
}

void EditorOpenFile() {
    if (!editorDesktop.openDialog) return;
    char buffer[4096];
    DialogStart(buffer, sizeof buffer, editor.locName);
    if (!editorDesktop.openDialog(buffer, sizeof buffer) || !buffer[0]) return;
    std::string why, warn;
    if (!EditorOpenPath(buffer, why, warn)) {
        Box("Локация не открыта.\n"_w + why, MB_OK | MB_ICONERROR);
        return;
    }
    // The editor itself lets a unit stand on water or rock, so this is a
    // notice in the feed (the list goes to the log), not an error box.
    if (!warn.empty()) {
        LogPrintf("\n%s", warn.c_str());
        PostMsg("(Редактор) Есть юниты на непроходимых клетках: список в uni_files/log.txt"_w);
    }
}

void EditorStartGame() {
    ByteWriter figs;
    WriteFigures(figs);
    ResetRuleState();
    StartPointsReset();
    ParseFigures(figs.bytes);
    editor.open = 0;
    editor.edited = 0;
    EditorClearUndo();
    EditorShowBar(0);
    if (WorldPopulate()) SpawnAtStartPoints();
    FollowHero(fgrMainHero);
    LogPrintf("\n\nStart ...");
}

int EditorLeave() {
    if (!editor.open) return 0;
    if (editor.edited && editorDesktop.saveDialog) {
        char buffer[4096];
        DialogStart(buffer, sizeof buffer, editor.locName);
        if (editorDesktop.saveDialog(buffer, sizeof buffer) && buffer[0]) {
            std::string why;
            if (!EditorSaveFiles(buffer, why)) {
                Box("Локация не сохранена, редактор открыт.\n"_w + why, MB_OK | MB_ICONERROR);
                return 0;
            }
            CopyName(editor.locName, buffer);
            CopyName(editor.fileName, buffer);
        }
    }
    EditorStartGame();
    return 1;
}
