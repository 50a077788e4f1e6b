// The main frame's timers, on the frame window without a callback. The import worker starts and
// stops the progress timer from its own thread; the sign-on step stops and restarts the idle lock
// and the revalidation; the message poll is handled but never started.
#pragma once

#define TIMER_IMPORT_PROGRESS 2127
#define TIMER_IDLE_LOCK 2128
#define TIMER_SESSION_CHECK 2129
#define TIMER_NEWS_POLL 2132
