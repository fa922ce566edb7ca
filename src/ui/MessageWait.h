// Waiting on the user-interface thread without freezing it. A window that
// waits for a worker must keep handling its messages: the worker reports
// through messages sent to this thread and blocks until they are handled.
// The waits here sleep until a message arrives (or a short slice passes)
// instead of sleeping a fixed slice, so that such a report is served at once
// rather than after the rest of a sleep.
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

// Handles every message waiting in this thread's queue. Returns false when
// it took WM_QUIT from the queue; quitCode then holds its exit code.
bool ProcessPendingMessages(int& quitCode);

// Waits up to timeoutMs for a message to arrive, then handles every pending
// message, as ProcessPendingMessages does.
bool WaitAndProcessMessages(DWORD timeoutMs, int& quitCode);

// Keeps handling messages until done() is true. A WM_QUIT that arrives
// meanwhile is held back (only messages sent from other threads are still
// served) and posted again before returning, so that the enclosing message
// loop ends as asked.
void ProcessMessagesUntil(const std::function<bool()>& done);

// Handles only the messages that other threads send to this thread (and
// their blocking calls wait for); posted messages stay queued.
void ServeSentMessages();

// Waits until the object is signalled, serving sent messages meanwhile.
void WaitServingSentMessages(HANDLE object);

}  // namespace ui
