// Talking to the townspeople: opening a dialog and the four answers of each.
#include <cmath>
#include <cstdio>

#include "app/msgfeed.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "ui/text_list.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/spawn.h"

namespace {

constexpr int kShopManaGift = 100;
constexpr int kPickpocketFee = 5;
constexpr int kHeroSwimMode = 2;       // movement class of a hero who can swim
constexpr int kWoodReward = 400, kWoodGold = 60;

const char* const kDialogFile[kNpcCount + 1] = {
    nullptr,
    "uni_files/res/dlg_vor.txt",
    "uni_files/res/dlg_mus.txt",
    "uni_files/res/dlg_shop.txt",
    "uni_files/res/dlg_d.txt",
    "uni_files/res/dlg_sea.txt",
    "uni_files/res/dlg_smit.txt",
};

// A purchase of the dialog table: item kind, price, the message on success.
struct Sale {
    int item, price;
    const char* text;
};
const Sale kShop[4] = {
    {kItemMedkit, 30, "(Покупка) Аптечка - применяй, если красной полосы мало."_w},
    {kItemKvass, 10, "(Покупка) Квас - применяй - скорость на несколько минут."_w},
    {kItemSuitChic, 150, "(Покупка) Куртка - применяй - наденеш на героя."_w},
    {kItemChainsaw, 500, "(Покупка) Бензо-пила - применяй - попадёт герою в руки"_w},
};
const Sale kRod = {kItemRod, 25, "(Покупка) Удочка для рыбалки - применяй рядом с водоёмом"_w};
const Sale kBoots = {kItemBoots, 75, "(Покупка) крепкие сапоги"_w};

bool HeroAlive() { return fgrMainHero && fgrMainHero->fgrKind != 0 && !fgrMainHero->dead; }

void ClearSelection() {
    for (int i = 0; i < selectionCount && i < kSelectionMax; ++i) selection[i] = nullptr;
    selectionCount = 0;
}

void SellIf(const Sale& s) {
    if (Buy(s.item, s.price)) PostMsg(s.text);
}

bool HasItem(int kind) {
    for (int i = 1; i <= kBackpackSlots; ++i)
        if (backpack.slotKind[i] == kind) return true;
    return false;
}

void CloseDialog() {
    dialogState.openNpc = 0;
    if (dialogWindow) dialogWindow->visible = 0;
}

void OpenDialog(int npc) {
    if (!LoadTextList(dialogText, kDialogFile[npc])) {
        // The answers still work; the player learns why the text is missing.
        if (dialogText && dialogText->list) dialogText->list->entries.clear();
        InsertLines(dialogText ? dialogText->list : nullptr, "(нет текста разговора)"_w, "", -1, 1);
    }
    RecolourList(dialogText);
    dialogState.openNpc = npc;
    if (dialogWindow) dialogWindow->visible = 1;
}

void Post2(const char* a, const char* b) {
    PostMsg(a);
    PostMsg(b);
}

void AnswerPickpocket(int option) {
    switch (option) {
        case 1: PostMsg("(Разговор) Если передумаеш, то завтра я здесь буду."_w); break;
        case 2:
            PostMsg("(Разговор) Ладно, забудь."_w);
            questState.wildDogs = kQuestDone;
            break;
        case 3:
            Post2("(Разговор) Осторожней. Дикие собаки сильные."_w, "(Взят квэст) Дикие собаки"_w);
            questState.wildDogs = kQuestTaken;
            break;
        case 4:
            Post2("(Разговор) Я согласен. Только поспеши прогнать собак."_w, "(Взят квэст) Дикие собаки"_w);
            questState.wildDogs = kQuestTaken;
            questState.wildDogsSameDay = 1;
            break;
    }
}

void AnswerSweeper(int option) {
    switch (option) {
        case 1:
            PostMsg("(Разговор) Надеюсь, ты хотя-бы умываешся."_w);
            questState.garbage = kQuestDone;
            break;
        case 2: PostMsg("(Разговор) Мусора дофига. Помоги когда сможеш."_w); break;
        case 3:
            Post2("(Разговор) Спасибо, добрый человек."_w, "(Взят квэст) Сбор мусора"_w);
            questState.garbage = kQuestTaken;
            break;
        case 4: PostMsg("(Разговор) Для денег, розовые сорняки руби"_w); break;
    }
}

void AnswerSailor(int option) {
    Fgr* hero = fgrMainHero;
    const bool swims = hero->moveMode == kHeroSwimMode;
    switch (option) {
        case 1:
            if (!swims) {
                PostMsg("(Круть)(В ближайшем фонтане, герой научился плавать)"_w);
                hero->moveMode = kHeroSwimMode;
            } else {
                PostMsg("(Герой уже умел плавать)"_w);
            }
            break;
        case 2:
            questState.sailorState = 2;
            PostMsg("(Разговор) Иди лесом. Хрен меня найдёш."_w);
            break;
        case 3:
            questState.sailorState = 2;
            PostMsg("(Разговор) Бери банку кваса и вали отсюда."_w);
            AddToBackpack(kItemKvass, nullptr);
            break;
        case 4:
            if (swims) questState.sailorState = 2;
            if (HasItem(kItemRod))
                PostMsg("Удочка уже есть."_w);
            else
                SellIf(kRod);
            break;
    }
}

void AnswerSmith(int option) {
    switch (option) {
        case 1: RepairAxes(); break;
        case 2:
            PostMsg("(Кузня) попытка перековать нож."_w);
            PostMsg(Reforge(kItemKnife, 10) ? "(Кузня) сделан новый нож."_w
                                            : "(Кузня) Не нашлось одинаковой пары ножей."_w);
            if (fgrNpc[6]) fgrNpc[6]->talkFlag = 1;
            break;
        case 3:
            PostMsg("(Кузня) попытка перековать меч."_w);
            PostMsg(Reforge(kItemSword, 20) ? "(Кузня) сделан новый меч."_w
                                            : "(Кузня) Не нашлось одинаковой пары мечей."_w);
            if (fgrNpc[6]) fgrNpc[6]->talkFlag = 1;
            break;
        case 4: SellIf(kBoots); break;
    }
}

}  // namespace

void TalkToSelected() {
    if (!dialogWindow || !HeroAlive() || fgrMainHero->onPath) return;
    if (dialogState.openNpc) {
        CloseDialog();
        PostMsg("(Клик) Прерван разговор"_w);
        ClearSelection();
        return;
    }
    Fgr* npc = selectionCount > 0 ? selection[0] : nullptr;
    if (!npc || npc->fgrKind != kKindNpc || npc->unitType < 1 || npc->unitType > kNpcCount ||
        npc->side != kSidePlayer || npc->talkFlag != 1)
        return;
    Fgr* hero = fgrMainHero;
    if (std::hypot(npc->x - hero->x, npc->z - hero->z) > kTalkReach) {
        PostMsg("(Клик) Нужно подойти поближе"_w);
        ClearSelection();
        return;
    }
    const int n = npc->unitType;
    switch (n) {
        case 1:
            heroCombat.heroGold -= kPickpocketFee;
            if (questState.wildDogs >= kQuestDone) return;
            break;
        case 2:
            if (questState.garbage >= kQuestDone) return;
            break;
        case 3:
            if (!dayState.shopGiftTaken) {
                dayState.shopGiftTaken = 1;
                if (int* st = hero->kor.ph ? hero->kor.ph->w : nullptr) {
                    st[kStMana] += kShopManaGift;
                    if (st[kStMana] > st[kStManaMax]) st[kStMana] = st[kStManaMax];
                }
            }
            break;
        case 6:
            switch (questState.wood) {
                case kQuestNone:
                    questState.wood = kQuestTaken;
                    PostMsg("Я ногу поранил. Пожалуйста, принеси дров для кузни."_w);
                    PostMsg("(квэст) Нужно срубить 6 чёрных ёлок и вернуться сюда."_w);
                    npc->talkFlag = 0;
                    return;
                case kQuestTaken: return;
                case kQuestDone:
                    QuestDone("дрова"_w, &questState.wood, kWoodReward);
                    heroCombat.heroGold += kWoodGold;
                    questState.wood = kQuestRewarded;
                    ClearSelection();
                    return;
                default: break;
            }
            break;
        default: break;
    }
    OpenDialog(n);
}

void DialogShowSaved() {
    const int n = dialogState.openNpc;
    if (n >= 1 && n <= kNpcCount) OpenDialog(n);
    else CloseDialog();
    if (titleLabel) titleLabel->visible = 0;
}

void DialogChoice(int option) {
    if (option < 1 || option > 4 || !HeroAlive()) return;
    const int n = dialogState.openNpc;
    if (n < 1 || n > kNpcCount) return;
    if (fgrNpc[n]) fgrNpc[n]->talkFlag = 0;
    switch (n) {
        case 1: AnswerPickpocket(option); break;
        case 2: AnswerSweeper(option); break;
        case 3: SellIf(kShop[option - 1]); break;
        case 4:
            if (MechanicDeal(fgrNpc[4], option) && option <= 3)
                PostMsg("Помошник - отмечайте его и давайте приказы Правым кликом."_w);
            break;
        case 5: AnswerSailor(option); break;
        case 6: AnswerSmith(option); break;
    }
    CloseDialog();
}
