// The engine's shared state: one web context for all views (its cookie store, the custom scheme
// of window.external) and the work that waits for cookies to be stored.
#pragma once

#include <functional>

typedef struct _WebKitWebContext WebKitWebContext;

// The context, made on first use (which also sets the engine's environment).
WebKitWebContext* AfxGetWebContext();
// Runs fn once every cookie set so far is stored: at once when none is pending.
void AfxWhenCookiesStored(std::function<void()> fn);

typedef struct _WebKitUserContentManager WebKitUserContentManager;
// The scripts every page gets (window.external and the script-error listener).
WebKitUserContentManager* AfxGetUserContent();
