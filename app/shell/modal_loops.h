// Ending the program while modal loops run: every message box ends as if closed and every
// dialog as if cancelled, and the exit waits until the code that opened them has returned.
#pragma once

#include <functional>

class QObject;

// The nesting level of the program's own event loop: 1 under QApplication::exec (the default),
// 0 where events are driven by hand (tests). Deeper loops are modal ones.
void SetProgramLoopLevel(int nLevel);

// Ends the popup menu, message boxes and modal dialogs now on screen, innermost first.
void EndModalLoops();

// Runs fn once no modal loop runs any more (from the event loop, never from inside the caller),
// ending any that start meanwhile. Nothing happens when context is gone by then.
void RunWhenModalLoopsEnded(QObject* context, std::function<void()> fn);
