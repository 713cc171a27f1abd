#pragma once
class DemoSession;

// The transport's keys, one set for edit mode and the browser page's player (GLFW key codes and
// modifier bits): Space pauses or resumes; the arrows move a beat, a bar with Shift; comma and
// period step a frame while paused; Page Down and Page Up go to the next scene's start and back to
// this one's (or the previous one's, within a second of a start); Home goes to the start.
// Returns whether the key was one of them.
bool applyTransportKey(DemoSession& session, int key, int mods);
