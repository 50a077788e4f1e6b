// The engine's shared state: one web context for all views (its cookie store, the custom scheme
// of window.external) and the work that waits for cookies to be stored.
#pragma once

#include <functional>
#include "WebExport.h"

typedef struct _WebKitWebContext WebKitWebContext;

// The context, made on first use (which also sets the engine's environment).
WebKitWebContext* AfxGetWebContext();
// Runs fn once every cookie set so far is stored: at once when none is pending.
void AfxWhenCookiesStored(std::function<void()> fn);

typedef struct _WebKitSettings WebKitSettings;
// The settings every view starts with (a new object the caller owns).
WebKitSettings* AfxNewWebSettings();

typedef struct _WebKitUserContentManager WebKitUserContentManager;
// The scripts every page gets (window.external and the script-error listener).
WebKitUserContentManager* AfxGetUserContent();

typedef struct _WebKitWebView WebKitWebView;
// Starts the engine's web and network processes ahead of the first page: once the next top-level
// window shown is on the screen and drawn, one web view is made and kept unloaded for the next
// view that opens without a related page. Nothing happens when one is made or asked for already.
PARVEL_WEB_API void AfxPrewarmHtmlView();
// The prewarmed web view (floating, as a new one is), or NULL; the caller gives it its settings.
WebKitWebView* AfxTakePrewarmedWebView();
