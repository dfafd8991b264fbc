#pragma once

// The mouse turns the camera only while the cursor is locked to the window: in
// play it is locked, in every menu and while the window has lost the focus it is
// free (the menus take keys only). Key 2 frees or locks it again in play. The
// state lives in the window's globals (`cursorVisible`).
namespace MouseLook {

// The game state changed to `state`: play locks the cursor, anything else frees it.
void stateEntered(int state);
// The window gained or lost the focus: losing it frees the cursor, regaining it in
// play locks it again unless the player freed it.
void focusChanged(bool focused);
// Key 2 in play, with its message.
void toggle();

} // namespace MouseLook
