// The editor bar's widgets and painters (drawing library).
#pragma once

// Builds the hidden editor bar under uiRoot once the widget layer is ready.
void BuildEditorBar();
