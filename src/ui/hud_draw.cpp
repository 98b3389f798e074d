// The game screen's painters. They read the rules' records and never change
// game state; labels are formatted into stack buffers.
#include "ui/hud_draw.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/frame.h"
#include "app/input.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "gfx/draw2d.h"
#include "gfx/fonts.h"
#include "gfx/textures.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "ui/widget.h"
#include "ui/widget_draw.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/camera.h"
#include "world/kle.h"
#include "world/map_draw.h"
#include "world/spawn.h"

namespace {

constexpr int kCursorSlot = 3, kAttackSlot = 9, kSlotFrame = 11, kCooldownSlot = 65, kChargeSlot = 68;
constexpr int kStatusIconFirst = 94;
constexpr int kCooldownFull = 900, kChargeFull = 3000;
constexpr int kLine = 96;

using Buf = char[kLine];

const int* HeroStats() {
    return fgrMainHero && fgrMainHero->kor.ph ? fgrMainHero->kor.ph->w : nullptr;
}

float F(int v) { return float(v); }

void Fill(const Widget* w, int filled) { DrawTexRect(F(w->x), F(w->y), F(w->width), F(w->height), filled, 0, 1); }

// A grey HUD button with a centred label.
void Plain(Widget* w, const char* label, const char* tooltip) {
    SetDrawColor(0.6f, 0.25f, 0.25f, 0.25f);
    DrawHudButton(w, label, tooltip, 1, 0, 0, 1, 1, 1, 1);
}

// A text row without a box.
void Label(Widget* w, const char* text, const char* tooltip, int font = 1) {
    SetDrawColor(1, 1, 1, 1);
    DrawTextAt(text, font, w->x + 2, w->y + 1);
    if (tooltipBar && w->hover && tooltip) SetTooltipText(tooltip);
}

// ---- pictures and panels

void PaintPicture(Widget* w) {
    SetBlendMode(38);
    TexBindIndex(texTable, w->tag);
    SetDrawColor(0.9f, 1, 1, 1);
    Fill(w, 1);
    DisableTexturing();
}

void PaintPanel(Widget* w) { DrawPanel(w); }

// ---- bottom bar

// "name-level [урон d] (износ w/m) ..." of a blade's figure; 0 when the
// figure is not a weapon.
int WeaponLine(char* out, int size, const char* name, const Fgr* item, const char* where) {
    if (!item || item->damage <= 0) return 0;
    std::snprintf(out, std::size_t(size), "%s-%d [урон %d] (износ %d/%d) %s"_w, name, item->comboLevel, item->damage,
                  item->wearNow, item->wearMax, where);
    return 1;
}

bool IsBlade(int kind) { return kind == kItemKnife || kind == kItemSword || kind == kItemAxe; }

void PaintBackpackSlot(Widget* w) {
    const int n = w->tag;
    SetBlendMode(38);
    TexBindIndex(texTable, kSlotFrame);
    SetDrawColor(0.6f, 0.3f, 0.3f, 0.3f);
    Fill(w, 1);
    if (n < 1 || n > 14) return;
    Buf label, tip;
    const int kind = n <= kBackpackSlots ? backpack.slotKind[n] : 0;
    const ItemKindInfo* info = ItemKindFind(kind);
    if (!info) {
        std::snprintf(label, sizeof label, "слот%d"_w, n);
        SetDrawColor(0.2f, 0.7f, 0.5f, 0.4f);
        DrawHudButton(w, label, "Пустой слот рюкзака героя"_w, 1, 0, 0, 3, 1, 1, 1);
        return;
    }
    SetBlendMode(38);
    TexBindIndex(texTable, info->picture);
    SetDrawColor(1, 0.9f, 0.9f, 0.9f);
    DrawTexRect(F(w->x + w->width / 4), F(w->y + 2), F(w->width / 2), F(w->height - 4), 1, 0, 1);
    DisableTexturing();
    if (kind == kItemRod)
        std::snprintf(tip, sizeof tip, "(%s) найди берег и примени (навык %d)"_w, info->shortName, fishing.fishSkill);
    else if (!IsBlade(kind) || !WeaponLine(tip, sizeof tip, info->shortName, BackpackFigure(n), "оружие в рюкзаке"_w))
        std::snprintf(tip, sizeof tip, "(%s) предмет лежит в рюкзаке героя"_w, info->shortName);
    DrawButton(w, info->shortName, tip, 1);
}

void PaintAttackButton(Widget* w) {
    if (!fgrMainHero) return;
    const HeroCombat& hc = heroCombat;
    SetBlendMode(38);
    if (hc.actionCooldown == 0) {
        TexBindIndex(texTable, kAttackSlot);
        SetDrawColor(0.5f, 0.4f, 0.5f, 0.7f);
        Fill(w, 1);
    } else {
        TexBindIndex(texTable, kCooldownSlot);
        SetDrawColor(0.5f, 0.1f, 0.2f, 0.7f);
        DrawTexRect(F(w->x), F(w->y), F(w->width) * F(hc.actionCooldown) / kCooldownFull, F(w->height / 2), 1, 0, 1);
    }
    DisableTexturing();
    Buf label;
    switch (w->tag) {
        case 1:
            std::snprintf(label, sizeof label, "удар %03d [%03d]"_w, hc.lastStrikeDmg, hc.lastStrikeCrit);
            DrawButton(w, label, "Ближний удар (последний урон)[ отдельно крит-урон] //кнопки 1 или 4"_w, 1);
            if (hc.strikeCooldown != 0) {
                SetBlendMode(38);
                TexBindIndex(texTable, kChargeSlot);
                SetDrawColor(0.4f, 0.9f, 0.2f, 0.1f);
                DrawTexRect(F(w->x), F(w->y), F(w->width) * F(hc.strikeCooldown) / kChargeFull, F(w->height), 1, 0, 1);
                DisableTexturing();
            }
            break;
        case 2:
            if (hc.fireAddOn) {
                std::snprintf(label, sizeof label, "  огне(%d)"_w, hc.lightningCharged);
                DrawButton(w, label, "добавляется заряженость к молнии"_w, 1);
            }
            break;
        case 3:
            std::snprintf(label, sizeof label, "(%d)молния %3d"_w, hc.autoAttack, hc.lastShotDmg);
            DrawButton(w, label, "авто-атака - выбрать врага - включить и отключить (последний урон)"_w, 1);
            break;
        default: break;
    }
}

void PaintExp(Widget* w) {
    if (!fgrMainHero) return;
    Buf t;
    std::snprintf(t, sizeof t, "%d / %d", fgrMainHero->unitExpNow, fgrMainHero->unitExpNext);
    Label(w, t, "прогрес опыта героя до следушего ранжыр-апа"_w);
}

void PaintRank(Widget* w) {
    Buf t;
    std::snprintf(t, sizeof t, "%d", fgrMainHero ? fgrMainHero->unitExpRang : 0);
    SetDrawColor(0.6f, 0.5f, 0.3f, 0.2f);
    DrawHudButton(w, t, "ранжыр героя, а такжэ кнопка открытия окна абилок"_w, 5, 0, 1, 2, 1, 0.9f, 0.5f);
}

void PaintCollection(Widget* w) {
    Buf t;
    std::snprintf(t, sizeof t, "сбор %d/%d"_w, crystals.collections, crystals.virForce);
    Label(w, t, "сборы очередного вир-форс (один сбор = три цвета подряд)"_w);
}

void PaintSpellToggle(Widget* w) {
    SetDrawColor(0.6f, 0.5f, 0.2f, 0.6f);
    DrawHudButton(w, "", "", 1, 0, 0, 1, 1, 1, 1);
}

void PaintGem(Widget* w) {
    int* counter = GemCounter(w->tag);
    Buf t, tip;
    std::snprintf(t, sizeof t, "%d", counter ? *counter : 0);
    std::snprintf(tip, sizeof tip, "накопленые %s - используй на камнях и костях"_w, GemLabel(w->tag));
    static const float kColour[5][3] = {{1, 1, 1}, {1, 0.3f, 0.3f}, {0.3f, 1, 0.4f}, {0.4f, 0.6f, 1}, {0.9f, 0.9f, 1}};
    const float* c = kColour[w->tag >= 1 && w->tag <= 4 ? w->tag : 0];
    SetDrawColor(0.3f, c[0] * 0.5f, c[1] * 0.5f, c[2] * 0.5f);
    DrawHudButton(w, t, tip, 1, 0, 1, 1, c[0], c[1], c[2]);
}

void PaintTreasure(Widget* w) {
    SetDrawColor(0.7f, 0.5f, 0.4f, 0.1f);
    if (treasure.dugToday)
        DrawHudButton(w, "нет"_w, "Герой уже искал сегодня - нажми кнопку День"_w, 1, 0, 1, 2, 0.7f, 0.7f, 0.7f);
    else
        DrawHudButton(w, "клад"_w, "Попытка откопать клад в точке, где стоит герой"_w, 1, 0, 1, 2, 1, 0.9f, 0.3f);
}

// ---- small window buttons

void PaintMapButton(Widget* w) { Plain(w, "карт"_w, "открыть-закрыть окно карты"_w); }
void PaintHeroButton(Widget* w) { Plain(w, "гер"_w, "открыть-закрыть окно Героя"_w); }
void PaintInfoButton(Widget* w) {
    if (backpack.assistantDroid)
        Plain(w, "ко мне"_w, "направить дройда-помошника к позиции героя"_w);
    else
        Plain(w, "инфо"_w, "включение и отключение тест-инфо"_w);
}
void PaintCloseButton(Widget* w) { DrawButton(w, "x", "Закрыть програму"_w, 5); }
void PaintMinimiseButton(Widget* w) { DrawButton(w, "_", "Свернуть програму"_w, 1); }

// ---- hero window

void PaintHeroStrip(Widget* w) {
    SetBlendMode(38);
    TexBindIndex(texTable, 91);
    SetDrawColor(0.8f, 1, 1, 1);
    Fill(w, 1);
    DisableTexturing();
}

void PaintDay(Widget* w) {
    Buf t;
    if (progress.invulnerable) {
        std::snprintf(t, sizeof t, "Бог:%d"_w, progress.invulnerableMs / 1000);
        Label(w, t, "секунды эфекта Неубиваемости."_w);
    } else if (backpack.kvassTimer > 0) {
        std::snprintf(t, sizeof t, "%d k%d", dayState.dayNumber, backpack.kvassTimer / 1000);
        Label(w, t, "Номер дня и секунды эфекта ускорения от Кваса."_w);
    } else {
        std::snprintf(t, sizeof t, "D %d", dayState.dayNumber);
        Label(w, t, "Номер дня."_w);
    }
}

void PaintSpellOfDay(Widget* w) {
    static const char* const kNames[5] = {
        "здесь отмечается.. Каков вир-заклин сегодня работает"_w, nullptr,
        "Реген маны и успокаиватель"_w, "Удвоитель молнии"_w, "+200% Мистического урона (только по босам)"_w,
    };
    const int s = heroCombat.dailySpell;
    Buf t;
    const char* text = kNames[0];
    if (s == 1) {
        std::snprintf(t, sizeof t, "(+%d за 10 сек) Регенератор жизни героя (красная)"_w, heroCombat.spellRegenHit);
        text = t;
    } else if (s >= 2 && s <= 4) {
        text = kNames[s];
    }
    SetDrawColor(0.4f, 0.3f, 0.2f, 0.5f);
    DrawHudButton(w, s ? "*" : "-", text, 1, 0, 1, 1, 1, 1, 0.6f);
}

void PaintGold(Widget* w) {
    Buf t;
    std::snprintf(t, sizeof t, "zлато%4d"_w, heroCombat.heroGold);
    Label(w, t, "сколько игровых денег у героя"_w);
}

// A worn place: the item's picture and a short line.
void Worn(Widget* w, int kind, const char* emptyText, const char* wornText) {
    SetBlendMode(38);
    const ItemKindInfo* info = ItemKindFind(kind);
    if (info) {
        TexBindIndex(texTable, info->picture);
        SetDrawColor(1, 0.9f, 0.9f, 0.9f);
    } else {
        DisableTexturing();
        SetDrawColor(0.25f, 0.4f, 0.35f, 0.3f);
    }
    Fill(w, 1);
    DisableTexturing();
    if (tooltipBar && w->hover) SetTooltipText(info ? wornText : emptyText);
}

void PaintHelmet(Widget* w) {
    Worn(w, backpack.wearCap, "здесь мог быть Экипированый шлем"_w, "Меткая кепка - ударяй ножом без промаха"_w);
}
void PaintWeapon(Widget* w) {
    Buf tip;
    const ItemKindInfo* info = ItemKindFind(backpack.wearInHand);
    if (info && !WeaponLine(tip, sizeof tip, info->shortName, HeroHandItem(), "оружие в руках"_w))
        std::snprintf(tip, sizeof tip, "(%s) предмет в руках героя"_w, info->shortName);
    Worn(w, backpack.wearInHand, "Кулаки"_w, info ? tip : "орудие (для удара)"_w);
}
// What the worn suit takes off the hits.
void PaintSuit(Widget* w) {
    static const char* const kSuitText[4] = {
        "Барахло"_w,
        "(шикарня) снимает 6..9 урона с каждого удара, удваивает опыт квестов"_w,
        "(отважный) урон по крови -30%, по жару -60%"_w,
        "(броник) урон по крови -50%"_w,
    };
    const int s = backpack.wearSuit;
    Worn(w, s, "Изначальный костюм без бонусов"_w, kSuitText[s >= 1 && s <= 3 ? s : 0]);
}
void PaintBoots(Widget* w) {
    Buf tip;
    const ItemKindInfo* info = ItemKindFind(backpack.wearBoots);
    if (info) std::snprintf(tip, sizeof tip, "(%s) Смягчают спец-урон (ядо-земля, ловушки, укус волчары)"_w, info->shortName);
    Worn(w, backpack.wearBoots, "Обувь без бонусов"_w, info ? tip : "Рвань"_w);
}
void PaintTrousers(Widget* w) {
    const char* worn = backpack.wearPants == kItemPantsApprentice ? "штаны подмастерья (экономия при крафте)"_w
                     : backpack.wearPants == kItemPantsFortune ? "штаны солдата удачи ( + шанс крит-удара)(прибавь Гнев)"_w
                                                               : "Старьё"_w;
    Worn(w, backpack.wearPants, "Изначальные штаны без бонусов"_w, worn);
}

void StatButton(Widget* w, const char* label, const char* tip) {
    SetDrawColor(0.6f, 0.3f, 0.25f, 0.2f);
    DrawHudButton(w, label, tip, 1, 0, 0, 1, 1, 1, 1);
}
void PaintBlood(Widget* w) {
    Buf t, tip;
    std::snprintf(t, sizeof t, "Кро:%d"_w, progress.bloodPoints);
    std::snprintf(tip, sizeof tip, "Кровь - Степень развития Хит-бара (сейчас максимум %d)"_w, progress.bloodBase);
    StatButton(w, t, tip);
}
void PaintMind(Widget* w) {
    Buf t;
    const bool poison = progress.mindSkill != 2;
    std::snprintf(t, sizeof t, "%s:%d", poison ? "отр"_w : "угн"_w, progress.mindPoints);
    StatButton(w, t, poison ? "Ум-бар депутат - развитие пасивного скила Отравитель"_w
                            : "Ум-бар депутат - развитие пасивного скила Угнетатель"_w);
}
void PaintAnger(Widget* w) {
    Buf t, tip;
    std::snprintf(t, sizeof t, "Гне:%d"_w, progress.angerPoints);
    std::snprintf(tip, sizeof tip, "Гнев - Развитие Маны и крит-часть абилки Удар (сейчас крит %d%%)"_w, progress.angerBase / 10);
    StatButton(w, t, tip);
}
void PaintStatPoints(Widget* w) {
    Buf t;
    std::snprintf(t, sizeof t, "стат: %d"_w, progress.statPoints);
    const bool lit = progress.statHighlightMs > 0 && (frameStampMs / 300) % 2 == 0;
    SetDrawColor(lit ? 0.8f : 0.4f, 0.5f, 0.4f, 0.1f);
    DrawHudButton(w, t, "Стат-поинты за ранжыр-ап - тратить кнопками вышэ"_w, 1, 0, 0, 1, 1, 1, lit ? 0.3f : 1);
}
void PaintAbilPoints(Widget* w) {
    Buf t;
    std::snprintf(t, sizeof t, "абил: %d"_w, heroCombat.abilPoints);
    SetDrawColor(0.4f, 0.3f, 0.3f, 0.5f);
    DrawHudButton(w, t, "Абил-поинты - кликни, чтобы открыть окно абилок"_w, 1, 0, 0, 1, 1, 1, 1);
}

// ---- windows

void PaintAbilityCell(Widget* w) {
    static const int* const kTaken[5] = {nullptr, &heroCombat.optLightning, &heroCombat.fireAddOn,
                                         &heroCombat.treasureSeeker, &heroCombat.optCrystals};
    const bool taken = w->tag >= 1 && w->tag <= 4 && *kTaken[w->tag];
    SetDrawColor(0.7f, taken ? 0.2f : 0.3f, taken ? 0.5f : 0.3f, 0.3f);
    DrawHudButton(w, AbilityLabel(w->tag), AbilityTooltip(w->tag), 1, 0, 0, 1, 1, 1, taken ? 0.5f : 1);
}
void PaintSpellCell(Widget* w) {
    SetDrawColor(0.7f, 0.3f, 0.2f, 0.4f);
    DrawHudButton(w, SpellLabel(w->tag), SpellTooltip(w->tag), 1, 0, 0, 1, 1, 1, 1);
}
void PaintItemActionCell(Widget* w) {
    SetDrawColor(0.8f, 0.3f, 0.3f, 0.3f);
    DrawHudButton(w, ItemActionLabel(w->tag), ItemActionTooltip(w->tag), 1, 0, 1, 2, 1, 1, 1);
}

// Hit and mana bars of the hero.
void Bar(Widget* w, int cur, int max, bool mana) {
    SetBlendMode(38);
    DisableTexturing();
    const float fill = max > 0 ? F(w->width) * F(cur) / F(max) : 0;
    if (mana)
        DrawFadeRectH(0, 0, 1, 0.1f, 0.8f, F(w->x + w->width) - fill, F(w->y), fill, F(w->height), 1);
    else
        DrawFadeRectH(1, 0, 0, 0.8f, 0.1f, F(w->x), F(w->y), fill, F(w->height), 1);
    SetDrawColor(1, 1, 1, 1);
    Buf t;
    std::snprintf(t, sizeof t, "%4d / %4d", cur, max);
    const int tx = mana ? w->x + w->width - TextWidth(fontSet, 2, "1234 / 1234", 0, -1) - 5 : w->x + 5;
    DrawTextAt(t, 2, tx, w->y + w->height / 2);
}
void PaintHitBar(Widget* w) {
    const int* st = HeroStats();
    if (!st) return;
    Bar(w, st[kStNormHP], st[kStNormHPMax], false);
    if (tooltipBar && w->hover) SetTooltipText("Хит-бар героя (единицы жизни)"_w);
}
void PaintManaBar(Widget* w) {
    const int* st = HeroStats();
    if (!st) return;
    Bar(w, st[kStMana], st[kStManaMax], true);
    const bool panic = fgrMainHero->panic != 0;
    if (panic) {
        const char* word = "паника"_w;
        DrawTextAt(word, 1, w->x + w->width - TextWidth(fontSet, 1, word, 0, -1) - 5, w->y + w->height / 5);
    }
    if (tooltipBar && w->hover)
        SetTooltipText(panic ? "Мана-бак (Паника - снижает боевые навыки героя)"_w : "Мана-бак героя"_w);
}

void PaintSelectedUnit(Widget* w) {
    Fgr* f = selectionCount > 0 ? selection[0] : nullptr;
    if (!f || f->fgrKind == 0) return;
    Buf t;
    std::snprintf(t, sizeof t, "(%d) %s", f->unitExpRang, f->figureName);
    SetDrawColor(0.5f, 0.1f, 0.1f, 0.1f);
    DrawHudButton(w, t, "имя выбраного юнита"_w, 1, 0, 1, 1, 1, 1, 0.7f);
}

// Icons 1..8: kvass, immortality, regeneration, panic, poison, fire add-on.
void PaintStatusIcon(Widget* w) {
    const bool on[9] = {false,
                        backpack.kvassTimer > 0,
                        progress.invulnerable != 0,
                        heroCombat.dailySpell == 1 || heroCombat.dailySpell == 2,
                        fgrMainHero && fgrMainHero->panic,
                        false,
                        heroCombat.lightningCharged != 0,
                        heroCombat.spellDoubler != 0,
                        heroCombat.spellMystic != 0};
    const int t = w->tag;
    if (t < 1 || t > 8 || !on[t]) return;
    SetBlendMode(38);
    TexBindIndex(texTable, kStatusIconFirst + (t <= 6 ? t - 1 : 2));
    SetDrawColor(1, 1, 1, 1);
    Fill(w, 1);
    DisableTexturing();
}

void PaintTestInfoRow(Widget* w) {
    Fgr* f = selectionCount > 0 ? selection[0] : nullptr;
    Buf t;
    t[0] = 0;
    const int* st = f && f->kor.ph ? f->kor.ph->w : nullptr;
    switch (w->tag) {
        case 1:
            if (f) std::snprintf(t, sizeof t, "%s", f->figureName);
            Label(w, t, "название выбраной фигуры"_w, 3);
            return;
        case 2: if (f) std::snprintf(t, sizeof t, "%d  %d  nxt%d  tk:%d", f->fgrKind, f->unitType, f->onPathNext, f->targPathKle); break;
        case 3: if (f) std::snprintf(t, sizeof t, "r:%d  exp%d  enx%d", f->unitExpRang, f->unitExpNow, f->unitExpNext); break;
        case 4: if (st) std::snprintf(t, sizeof t, "hp:%d  c:%d  m%d  %d", st[kStNormHP], st[kStCaptHP], st[kStMana], st[kStHot]); break;
        case 5: if (f) std::snprintf(t, sizeof t, "gun %d pnc%d po%d", f->gunCount, f->panic, f->onPath); break;
        case 6: if (f) std::snprintf(t, sizeof t, "side %d  mode %d  slot %d", f->side, f->moveMode, FgrSlotOf(f)); break;
        case 7: if (f) std::snprintf(t, sizeof t, "x %.1f  z %.1f  r %.1f", double(f->x), double(f->z), double(f->size)); break;
        case 8: std::snprintf(t, sizeof t, "day %d  firs %d", dayState.dayNumber, dayState.firsChopped); break;
        case 9: std::snprintf(t, sizeof t, "q %d %d %d  (%d %d %d)", questState.wildDogs, questState.garbage, questState.wood,
                              questState.wildDogsKilled, questState.garbageCollected, questState.woodCut); break;
        case 10: std::snprintf(t, sizeof t, "talk %d  state %d", f ? f->talkFlag : 0, f ? f->stateFlag : 0); break;
        default: break;
    }
    Label(w, t, nullptr, 3);
}

void PaintDialogTitle(Widget* w) {
    Buf t;
    const int n = dialogState.openNpc;
    const Fgr* npc = n >= 1 && n <= 6 ? fgrNpc[n] : nullptr;
    SetDrawColor(0.8f, 0.3f, 0.2f, 0.15f);
    if (n && npc) {
        std::snprintf(t, sizeof t, "Персонаж %s -- (RU %d)"_w, npc->figureName, heroCombat.heroGold);
        DrawHudButton(w, t, "Диалоговое окно. Имя купца. (денег у героя)"_w, 1, 0, 1, 1, 1, 1, 0.8f);
    } else {
        DrawHudButton(w, "----- НАПУТСТВИЕ -----"_w, "Почитай для ознакомления и закрой"_w, 1, 0, 1, 1, 1, 1, 0.8f);
    }
}
void PaintDialogClose(Widget* w) { DrawButton(w, "x", "Закрыть окно"_w, 5); }
void PaintAnswer(Widget* w) {
    Buf t;
    std::snprintf(t, sizeof t, "п%d"_w, w->tag);
    SetDrawColor(0.8f, 0.35f, 0.3f, 0.2f);
    DrawHudButton(w, t, "Ответ из списка выше"_w, 1, 0, 1, 2, 1, 1, 1);
}
void PaintCombo(Widget* w) {
    const bool live = w->tag == heroCombat.comboButton;
    SetDrawColor(live ? 0.8f : 0.3f, live ? 0.8f : 0.3f, 0.2f, 0.1f);
    DrawHudButton(w, "бей"_w, "Жми для эфекта мини-комбо"_w, 5, 0, 1, live ? 3 : 1, 1, 1, live ? 0.3f : 0.6f);
}
void PaintFishChoice(Widget* w) {
    SetDrawColor(0.6f, 0.1f, 0.3f, 0.5f);
    DrawHudButton(w, "Где?"_w, "Жми одну из трёх"_w, 5, 0, 1, 2, 1, 1, 1);
}
void PaintNotice(Widget* w) {
    SetBlendMode(38);
    DisableTexturing();
    SetDrawColor(0.5f, 0.1f, 0.1f, 0.15f);
    Fill(w, 1);
}
void PaintTitle(Widget* w) {
    SetDrawColor(0.5f, 0.15f, 0.1f, 0.1f);
    DrawHudButton(w, "RPG Бриндома - лесной демон"_w, "Название конкурсной работы - кликни, чтобы убрать "_w, 5, 0, 1, 2,
                  1, 0.85f, 0.4f);
}
void PaintFishBar(Widget* w) {
    const char* text = FishingBarText();
    if (!text || !text[0]) return;
    SetBlendMode(38);
    DisableTexturing();
    SetDrawColor(0.4f, 0.1f, 0.2f, 0.3f);
    Fill(w, 1);
    SetDrawColor(1, 1, 1, 1);
    DrawTextAt(text, 1, w->x + 5, w->y + 2);
}

}  // namespace

// Font 1 unless the label would not fit the narrow side bar (800 x 600):
// then the small font 7.
int SideBarFont(const Widget* w, const char* label) {
    return TextWidth(fontSet, 1, label, 0, -1) + 5 <= w->width ? 1 : 7;
}

namespace {

void PaintSideBarCell(Widget* w) {
    const int tag = w->tag;
    if (tag == 5 && fgrMainHero && fgrMainHero->dead) {
        Buf tip;
        const int* st = HeroStats();
        std::snprintf(tip, sizeof tip, "Нажми эту кнопку и продолжи игру (сознание %d)"_w, st ? st[kStNormHP] : 0);
        SetDrawColor(0.9f, 0.7f, 0.1f, 0.1f);
        DrawHudButton(w, "ДЕНЬ"_w, tip, 1, 0, 0, 3, 1, 1, 0.2f);
        return;
    }
    if (tag == 5 && dayState.dayButtonCooldown > 0) {
        DrawButton(w, "----", "через несколько секунд кнопка будет доступна"_w, SideBarFont(w, "----"));
        return;
    }
    DrawButton(w, SideBarLabel(tag), SideBarTooltip(tag), SideBarFont(w, SideBarLabel(tag)));
}

}  // namespace

void HudLabelOffset(const Widget* w, const char* label, int font, int centred, int* dx, int* dy) {
    *dx = 2;
    *dy = 1;
    if (centred) *dx = (w->width - TextWidth(fontSet, font, label, 0, -1)) / 2;
    if (font > 3) {
        *dy = 2;
        if (!centred) *dx = 6;
    }
}

void DrawHudButton(Widget* w, const char* label, const char* tooltip, int font, int textureSlot, int centred,
                   float lineWidth, float r, float g, float b) {
    SetBlendMode(38);
    if (textureSlot)
        TexBindIndex(texTable, textureSlot);
    else
        DisableTexturing();
    Fill(w, 1);
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    SetLineWidth(lineWidth);
    if (!w->hover) {
        DisableTexturing();
        SetDrawColor(saved[3], 0.4f, 0.4f, 0.3f);
    } else {
        SetDrawColor(0.5f, 0.8f, 0.8f, 0.8f);
        SetBlendMode(34);
        DisableTexturing();
    }
    Fill(w, 0);
    SetLineWidth(1);
    int dx, dy;
    HudLabelOffset(w, label, font, centred, &dx, &dy);
    SetDrawColor(1, r, g, b);
    SetBlendMode(38);
    DrawTextAt(label, font, w->x + dx, w->y + dy);
    if (tooltipBar && w->hover) SetTooltipText(tooltip);
}

void DrawCursorAndStatus() {
    SetBlendMode(38);
    TexBindIndex(texTable, kCursorSlot);
    glColor4ub(255, 255, 255, 255);
    DrawTexRectLTRB(F(cursorX + 16), F(cursorY), F(cursorX + 32), F(cursorY + 16), 1);
    // The item whose window is open rides above the cursor.
    if (const ItemKindInfo* held = ItemKindFind(backpack.selectedSlot >= 1 && backpack.selectedSlot <= kBackpackSlots
                                                    ? backpack.slotKind[backpack.selectedSlot]
                                                    : 0)) {
        TexBindIndex(texTable, held->picture);
        DrawTexRectLTRB(F(cursorX + 16), F(cursorY + 16), F(cursorX + 32), F(cursorY + 32), 1);
    }
    DisableTexturing();
    if (!testInfoShown || !fgrMainHero) return;
    const Fgr* h = fgrMainHero;
    char line[160];
    std::snprintf(line, sizeof line, "kle rx rz: %d  (%.1f  %.1f) fgrDraw%4d (HeroUg %d) лес[%d]"_w,
                  PointToCell(h->x, h->z), double(h->x), double(h->z), figuresDrawn, int(h->angle), dayState.firsChopped);
    SetDrawColor(1, 1, 1, 1);
    DrawTextAt(line, 3, 5, 200);
}

void HudInstallPainters() {
    HudPainters& p = hudPainters;
    p.panel = PaintPanel;
    p.picture = PaintPicture;
    p.tooltipBar = DrawTooltipBar;
    p.textList = DrawTextList;
    p.fishBar = PaintFishBar;
    p.backpackSlot = PaintBackpackSlot;
    p.attackButton = PaintAttackButton;
    p.expLabel = PaintExp;
    p.rankLabel = PaintRank;
    p.collectionLabel = PaintCollection;
    p.spellToggle = PaintSpellToggle;
    p.gem = PaintGem;
    p.treasure = PaintTreasure;
    p.mapButton = PaintMapButton;
    p.heroButton = PaintHeroButton;
    p.infoButton = PaintInfoButton;
    p.closeButton = PaintCloseButton;
    p.minimiseButton = PaintMinimiseButton;
    p.heroStrip = PaintHeroStrip;
    p.dayLabel = PaintDay;
    p.spellOfDay = PaintSpellOfDay;
    p.gold = PaintGold;
    p.helmet = PaintHelmet;
    p.weapon = PaintWeapon;
    p.suit = PaintSuit;
    p.boots = PaintBoots;
    p.trousers = PaintTrousers;
    p.bloodStat = PaintBlood;
    p.mindStat = PaintMind;
    p.angerStat = PaintAnger;
    p.statPoints = PaintStatPoints;
    p.abilPoints = PaintAbilPoints;
    p.abilityCell = PaintAbilityCell;
    p.spellCell = PaintSpellCell;
    p.itemActionCell = PaintItemActionCell;
    p.manaBar = PaintManaBar;
    p.hitBar = PaintHitBar;
    p.selectedUnit = PaintSelectedUnit;
    p.statusIcon = PaintStatusIcon;
    p.testInfoRow = PaintTestInfoRow;
    p.dialogTitle = PaintDialogTitle;
    p.dialogClose = PaintDialogClose;
    p.answer = PaintAnswer;
    p.comboCell = PaintCombo;
    p.fishChoiceCell = PaintFishChoice;
    p.notice = PaintNotice;
    p.titleLabel = PaintTitle;
    p.sideBarCell = PaintSideBarCell;
}
