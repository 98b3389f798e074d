// The reset of a new game on the current location: every rule-state record
// and the figure table back to their start, while the grid, the pictures,
// the widgets and the installed behaviour hooks stay. Leaving the editor
// runs it before the world is populated again; ResetGameState (tests) runs
// it with everything else.
//
// A subsystem with a rule-state record adds its reset to ResetRuleState.
#pragma once

void ResetRuleState();
