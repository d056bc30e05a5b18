/* Registers the plugin's features: the loadable module calls it, and a
 * program that links the element in registers it with
 *   gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "brindlewick", ...,
 *                              brindlewick_plugin_init, ...). */
#ifndef BRINDLEWICK_PLUGIN_H
#define BRINDLEWICK_PLUGIN_H

#include <gst/gst.h>

G_BEGIN_DECLS

gboolean brindlewick_plugin_init(GstPlugin *plugin);

G_END_DECLS

#endif
