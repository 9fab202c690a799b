// The message pump for long operations inside a message handler.
#pragma once

// Dispatches waiting messages; 1 when a quit request was seen (it stays in,
// or is posted back into, the queue so the main loop still ends).
int pump_messages();
