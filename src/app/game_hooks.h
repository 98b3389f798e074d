// The game's subsystems as the shell's start-up, frame and shut-down see
// them: each hook is a one-line call into the subsystem that owns the step
// (bodies in game_hooks.cpp). The shell calls them in this order and knows
// nothing else about them. Drawing pieces of the shell itself (fps counter,
// pause screen, feed line, screen tint) come straight from gfx/screen_pieces.h.
//
// Window start-up (InitGL, in this order):
//   GameLoadFonts()            fonts from "uni_files/res"           0 -> "not InitGL"
//   GameLoadTextures()         "uni_files/res/pix_start.txt"        0 -> "not Load TGA", "not InitGL"
//   (sig.txt is read by the shell)
//   GameInitWidgetLayer(w, h)  the widget layer
// Program start-up (BrindomaMain, after the window):
//   StartAudio()               OpenAL device and the sound list
//   BuildGameWidgets()         the game screen's widget tree (only when the layer is ready)
//   ClearTextFocus()           no text list captures typed keys
//   PrepareSoundSources()      the three sound channels (source n gets effect n)
//   StartWorld()               the saved game when there is one and the player wants it,
//                              else the start location, its tiles and figures, the townspeople
// Every frame (DrawFrame, in this order):
//   PlayStartSound()           first frame only
//   UIDispatchClick(button)    1 left click, 2 right click, 0 none; 1 when a widget took it
//   WorldStep(clickTaken)      hovered cell, map interaction, figures, rules; F5 saves
//   -- clear, viewport, 2D overlay begins --
//   DrawWorld()                terrain, figures and their passes
//   DrawWidgetTree()           widgets and windows
//   DrawOverlayPanel()         the clipped overlay panel
//   DrawScreenTint()           (gfx)
//   DrawMsgFeed                (shell; the line through DrawFeedLine of gfx)
//   DrawStatusLine()           the HUD status line
//   -- 2D overlay ends --
//   DrawFpsCounter(fps)        (gfx)
//   TakeScreenshot()           signal 16 fired: the finished frame as a numbered BMP
// Window procedure:
//   TypeChar(ch)               WM_CHAR to the focused text list
// Tests (many games in one process):
//   ResetGameState()           every subsystem's tables and counters back to their start
// Shut-down (in this order):
//   SaveAtExit()               the game saved (not in the editor, not after a fatal world error)
//   ShutdownAudio()            sound sources, buffers, context, device
//   ReleaseGraphics()          (gfx) fonts and textures, first step of KillGlWindow
#pragma once

int  GameLoadFonts();
int  GameLoadTextures();
int  GameInitWidgetLayer(int width, int height);   // 1 when the layer is ready

void StartAudio();
void BuildGameWidgets();
void ClearTextFocus();
void PrepareSoundSources();
void StartWorld();

void PlayStartSound();
int  UIDispatchClick(int button);
void WorldStep(int clickTaken);
void DrawWorld();
void DrawWidgetTree();
void DrawOverlayPanel();
void DrawStatusLine();
void TakeScreenshot();

void TypeChar(int ch);

void SaveAtExit();
void ShutdownAudio();

void ResetGameState();
