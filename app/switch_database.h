// The command "open": replacing the open database by another one.
#pragma once

struct app_state;

// Asks for a path, unlocks it into a record of its own and, only then,
// replaces the open database; rebuilds and redraws the screen in every case.
void switch_database(app_state* app);
