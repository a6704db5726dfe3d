// The keys of the two device views and the commands they raise. A key acts
// only when its command is enabled in the executive's table, as a button
// does; the view's own actions (select all) act while the views are enabled.
#pragma once
#include <windows.h>

enum class KeyPlace { List, Tree };

// The view's own actions, named like commands so that one table holds every key.
extern const wchar_t kSelectAllAction[];

// The command (or view action) for a key with the modifiers held, or null.
const wchar_t* CommandForKey(UINT key, bool ctrl, bool alt, KeyPlace place);
