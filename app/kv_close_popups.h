#pragma once
class QMainWindow;

// Closes whatever the pages opened over themselves in `window`: PIN
// overlays, keypads, popup containers, tile overlays and the popups that
// cover the whole window, each the way its own close button would.
void kv_close_popups(QMainWindow* window);
