// The picture targets decode with gdk-pixbuf, which loads a format's module and keeps its tables
// the first time it meets that format: load them all before fuzzing, so that what the leak check
// sees per input is only what the input itself left behind.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sanitizer/lsan_interface.h>
#include <cstdlib>

inline void WarmUpPictureFormats()
{
    // No accessibility bus: its connection is the process's, not any input's.
    setenv("NO_AT_BRIDGE", "1", 1);
    // Some loaders keep a little when closed empty; that is the warm-up's, not an input's.
    __lsan::ScopedDisabler noLeakCheck;
    GSList* formats = gdk_pixbuf_get_formats();
    for (GSList* f = formats; f; f = f->next)
    {
        gchar* name = gdk_pixbuf_format_get_name(static_cast<GdkPixbufFormat*>(f->data));
        if (GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(name, nullptr))
        {
            gdk_pixbuf_loader_close(loader, nullptr);
            g_object_unref(loader);
        }
        g_free(name);
    }
    g_slist_free(formats);
}
