/* The "brindlewick" GStreamer plugin: the brindlewickdec element and the
 * type finders of both tune formats. */
#include "brindlewick_plugin.h"

#include "brindlewick_dec.h"
#include "tune_typefind.h"

#define PACKAGE "brindlewick"

gboolean brindlewick_plugin_init(GstPlugin *plugin)
{
    return tune_typefind_register(plugin) &&
           gst_element_register(plugin, "brindlewickdec", GST_RANK_PRIMARY, BRINDLEWICK_TYPE_DEC);
}

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, brindlewick,
                  "pxtone tunes (.ptcop, .pttune) through the Brindlewick engine",
                  brindlewick_plugin_init, BRINDLEWICK_VERSION, GST_LICENSE_UNKNOWN, "Brindlewick",
                  "Brindlewick source tree")
