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

/* No licence is granted for this code (the npm package says "UNLICENSED"):
 * GStreamer's name for that is "Proprietary". The origin is the build's
 * (-DBRINDLEWICK_PACKAGE_ORIGIN=URL), as GStreamer's own package-origin. */
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, brindlewick,
                  "pxtone tunes (.ptcop, .pttune) through the Brindlewick engine",
                  brindlewick_plugin_init, BRINDLEWICK_VERSION, "Proprietary", "Brindlewick",
                  BRINDLEWICK_PACKAGE_ORIGIN)
