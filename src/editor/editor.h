// The location editor: its state record, the tool table, painting and
// placing with the right button or an F1 drag, undo of whole strokes, and
// the editor's lifecycle (new ground, open a location pair, leave and start
// a new game on the edited location).
//
// The world reads `editor.open` (the figure pass stops, the ground shows the
// editor marks); only the editor writes the record. The desktop (file
// dialogs, message boxes) is reached through EditorDesktop, which the shell
// installs, so the editor's logic runs in unit tests without a window.
#pragma once

#include <cstdint>
#include <span>
#include <string>

inline constexpr int kEditorNameBytes = 256;
inline constexpr int kEditorTools = 27;      // tool codes 1..27
inline constexpr int kEditorUndoSteps = 64;  // strokes that can be undone

struct EditorState {
    int open = 0;            // 1 while the editor is open
    int edited = 0;          // any tool use and "new": leaving saves
    int selectedTool = 0;    // 1..27, 0 = none
    int brushSize = 1;       // 1, 3 or 5
    int keepVisuals = 0;     // "No V": 1 x 1 terrain clicks keep the tile
    int grid = 1;            // grid frames over the ground
    int hoveredCell = -1;    // cell under the mouse, refreshed every frame
    char locName[kEditorNameBytes] = {};    // last opened location file
    char fileName[kEditorNameBytes] = {};   // filled by the open and save dialogs
};
extern EditorState editor;

struct Widget;
// The editor bar (hidden while the editor is closed); null before the
// widget tree is built.
extern Widget* editorBar;
void EditorShowBar(int shown);

// Start values; tool, brush, keep-visuals and grid included (tests). Undo
// history is emptied too.
void EditorReset();

// One row of the tool table; the button index is the tool code.
struct EditorTool {
    const char* label;     // Windows-1251
    const char* tooltip;   // Windows-1251
    int what;              // EditorToolKind
    int type;              // terrain brush, plant/crystal/loot type, NPC number, monster type
    std::uint8_t landType, landSub, landHint;
};
enum EditorToolKind : int { kToolNone, kToolTerrain, kToolPlant, kToolCrystal, kToolLoot, kToolNpc, kToolMonster };
// Row of tool code 1..27, or null.
const EditorTool* EditorToolOf(int code);

// The desktop as the editor needs it: dialogs fill the buffer with the
// chosen path (1) or leave it (0 = cancel); the box returns its answer.
struct EditorDesktop {
    int (*openDialog)(char* buffer, int size);
    int (*saveDialog)(char* buffer, int size);
    int (*messageBox)(const char* text, const char* caption, int flags);
    const char* startFolder;   // the game folder the dialogs start in
};
extern EditorDesktop editorDesktop;

// The editor's hooks into the map interaction (tool use, its per-frame step).
void EditorInstall();

// ---- tools and toggles
void EditorSelectTool(int code);       // plus the click sound
void EditorToggleKeepVisuals();        // on also sets brush size 1
void EditorCycleBrush();               // 1 -> 3 -> 5 -> 1
void EditorToggleGrid();
// The selected tool at the hovered cell: drag 0 for a right click, 1 for
// every frame of an F1 + left drag.
void EditorApplyTool(int drag);
// The same at cell h (tests and benchmarks).
void EditorApplyAt(int h, int drag);
// Once per world step while the editor is open: ends a drag stroke, undo
// on signal 10, the hovered cell.
void EditorFrame();

// ---- undo: one step is one right click or one F1 drag
int  EditorUndoDepth();
// Reverts the last stroke: cells byte for byte, figures as they were.
// 0 when there was nothing to undo.
int  EditorUndo();
void EditorClearUndo();

// ---- lifecycle
// "новь": plain ground, an empty figure table, the editor open and edited.
void EditorNewLocation();
// "файл": the open dialog, then the pair is loaded; a bad file gets a box
// and changes nothing.
void EditorOpenFile();
// "Начать игру": when edited, the save dialog; a name that cannot be used
// gets a box and the editor stays open. Then a new game starts on the
// location. 1 when the editor was left.
int  EditorLeave();

// The open sequence on the pair's bytes (the figure file may be absent:
// hasFigures false). On refusal the world is untouched and why holds a
// Windows-1251 reason; warnings (units on cells their class cannot walk)
// are returned in warn.
bool EditorOpenBytes(const char* name, std::span<const std::uint8_t> location,
                     std::span<const std::uint8_t> figures, bool hasFigures, std::string& why,
                     std::string& warn);
// Reads name and name + ".fgr" and runs the open sequence.
bool EditorOpenPath(const char* name, std::string& why, std::string& warn);
// Writes name and name + ".fgr"; when either fails, both old files stay.
bool EditorSaveFiles(const char* name, std::string& why);
// Ends the editor and starts a new game on the current grid with the
// editor's figures, exactly as a reload of the saved pair would.
void EditorStartGame();
