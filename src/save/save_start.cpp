// The start of a game: a saved game is offered to be continued; a save
// that cannot be read is kept aside and a new game begins.
#include "save/save_start.h"

#include "app/log.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "platform/platform.h"
#include "rules/items.h"
#include "rules/story.h"
#include "save/save_file.h"
#include "ui/hud.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"

void ChooseSaveFolder() {
    char base[kSaveFolderBytes] = {};
    saveFolder.clear();
    if (PlatUserDataFolder(base, sizeof base) > 0) saveFolder = std::string(base) + "/" + kSaveFolderName;
}

int ContinueSavedGame() {
    KleSetCorners();
    FgrNumberSlots();
    SetupView();
    const SaveStatus status = LoadGameFromFile();
    if (status == SaveStatus::Ok) {
        // The windows that belong to saved state: an open dialog, a chosen
        // backpack slot's buttons (without them the backpack stays locked).
        DialogShowSaved();
        if (itemActionWindow) itemActionWindow->visible = backpack.selectedSlot != 0;
        LogPrintf("\n\nStart ... (saved game)");
        return 1;
    }
    KeepBadSaveAside();
    const char* text = status == SaveStatus::Newer ? "Сохранение сделано более новой игрой - начинаем новую игру"_w
                                                   : "Сохранение повреждено - начинаем новую игру"_w;
    PlatMessageBox(text, "Save(Сохранение)"_w, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void StartOrContinueWorld() {
    ChooseSaveFolder();
    const std::string path = SaveFilePath();
    if (!path.empty() && FileExists(path.c_str()) &&
        PlatMessageBox("Продолжить сохранённую игру? Yes(Да) / No(Нет): новая игра"_w, "Continue(Продолжить)"_w,
                       MB_YESNO | MB_ICONQUESTION) == IDYES &&
        ContinueSavedGame())
        return;
    WorldStart();
}
