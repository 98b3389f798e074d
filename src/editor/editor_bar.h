// The editor bar's widgets and painters (drawing library).
#pragma once

// Fills the editor bar (made under uiRoot unless the game's tree made it)
// once the widget layer is ready; hidden while the editor is closed.
void BuildEditorBar();

// Tags of the bar's buttons (tool cells carry their tool code 1..27).
enum : int { kBarLeave = 100, kBarKeepVisuals = 101, kBarBrush = 102, kBarGrid = 103 };
