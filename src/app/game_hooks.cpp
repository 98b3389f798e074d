// The shell's hooks into the game's subsystems: one call each.
#include "app/game_hooks.h"

#include "app/frame.h"
#include "app/game_state.h"
#include "app/input.h"
#include "app/paths.h"
#include "app/random.h"
#include "combat/monsters.h"
#include "app/signals.h"
#include "editor/editor.h"
#include "editor/editor_bar.h"
#include "gfx/font_desc.h"
#include "gfx/fonts.h"
#include "gfx/screen_pieces.h"
#include "gfx/screen_tint.h"
#include "gfx/textures.h"
#include "platform/platform.h"
#include "rules/pickups.h"
#include "rules/story.h"
#include "save/save_file.h"
#include "save/save_start.h"
#include "sound/music.h"
#include "sound/sound_al.h"
#include "ui/hud.h"
#include "ui/hud_draw.h"
#include "ui/text_list.h"
#include "ui/widget.h"
#include "ui/widget_draw.h"
#include "world/camera.h"
#include "world/interaction.h"
#include "world/location.h"
#include "world/map_draw.h"
#include "world/path_follow.h"
#include "world/visibility.h"
#include "world/spawn.h"

int GameLoadFonts() { return LoadFontSet(fontSet, kPathResFolder); }
int GameLoadTextures() { MapDrawInstall(); return LoadTexList(texTable, kPathPixStart); }
int GameInitWidgetLayer(int width, int height) {
    UIInit(width, height);
    HudInstallPainters();
    return uiReady;
}

void StartAudio() { StartSound(); }
void BuildGameWidgets() {
    BuildGameUI();
    BuildEditorBar();
}
void ClearTextFocus() { focusedList = nullptr; }
void PrepareSoundSources() {
    SetupGameSources();
    MusicStart();
}
namespace {
// The desktop's dialogs leave the game folder current again.
int EditorOpenDialog(char* buffer, int size) {
    const int chosen = PlatOpenFileDialog(buffer, size);
    PlatSetCurrentDirectory(startDirectory);
    return chosen;
}
int EditorSaveDialog(char* buffer, int size) {
    const int chosen = PlatSaveFileDialog(buffer, size);
    PlatSetCurrentDirectory(startDirectory);
    return chosen;
}
}  // namespace

void StartWorld() {
    editorDesktop = {EditorOpenDialog, EditorSaveDialog, PlatMessageBox, startDirectory};
    EditorInstall();
    CombatInstall();
    StoryInstall();
    ItemRulesInstall();
    StartOrContinueWorld();
}

void PlayStartSound() { PlayIfIdle(&sndSource1, soundOn); }
int UIDispatchClick(int button) { return UIProcessAt(button, cursorX, cursorY); }
void WorldStep(int clickTaken) {
    WorldStepRun(clickTaken);
    SaveKeyStep();
    HudSync();
    const Fgr* hero = fgrMainHero;
    const Fgr* forest = fgrLairForest;
    MusicStep(sigTable[9].fired, hero ? hero->x : 0, hero ? hero->z : 0, hero && forest,
              forest ? forest->x : 0, forest ? forest->z : 0);
}
void DrawWorld() {
    // What the HUD's text lists paint over need not be drawn under them.
    mapCoverCount = OpaqueWidgetRects(mapCovers, kMapCoverMax);
    DrawMapView();
    mapCoverCount = 0;
}
void DrawWidgetTree() { DrawWidgets(); }
void DrawOverlayPanel() { DrawMinimap(); }
void DrawStatusLine() { DrawCursorAndStatus(); }
void TakeScreenshot() { SaveNumberedScreenshot(); }

void TypeChar(int ch) {
    if (focusedList) TypeChar(focusedList, ch);
}

void SaveAtExit() { AutosaveGame(); }

void ShutdownAudio() {
    MusicStop();
    ReleaseGameSources();
    StopSound();
}

void ResetGameState() {
    UIReset();
    HudReset();
    MusicReset();
    TexTableReset(texTable);
    ScreenTintReset();
    WorldReset();
    PathReset();
    CameraReset();
    InteractionReset();
    // Rule-state records reset there, so leaving the editor resets them too.
    ResetRuleState();
    editorBar = nullptr;
    editorDesktop = EditorDesktop{};
    RandReset();
    SaveReset();
}
