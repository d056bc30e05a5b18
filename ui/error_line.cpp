#include "ui/error_line.h"

#include <cstring>
#include <string>

#include "playback/tune_player.h"
#include "tunes/folder_scan.h"
#include "ui/name_text.h"

static const char TOO_LONG_LEAD[] = "name too long: ";

static char shown[text_bytes_for(ERROR_LINE_CHARS)];
static int32_t scans_seen = 0;
static bool note_showing = false;
static std::string engine_when_noted;
static int32_t failed_loads_when_noted = 0;

/* Takes up the report of a scan that ran since the last call. */
static void look_at_scan(const char *engine)
{
    if (scan_report.scans == scans_seen)
        return;
    scans_seen = scan_report.scans;
    note_showing = scan_report.long_name[0] != '\0';
    engine_when_noted = engine;
    failed_loads_when_noted = failed_loads();
}

const char *error_line_text()
{
    const char *engine = last_error_text();
    look_at_scan(engine);
    if (note_showing && (engine_when_noted != engine || failed_loads() != failed_loads_when_noted))
        note_showing = false;
    if (!note_showing) {
        name_text(engine, std::strlen(engine), ERROR_LINE_CHARS, "..", shown, sizeof shown);
        return shown;
    }
    size_t lead = sizeof TOO_LONG_LEAD - 1;
    std::memcpy(shown, TOO_LONG_LEAD, lead);
    name_text(scan_report.long_name, std::strlen(scan_report.long_name),
              TOO_LONG_LINE_CHARS - static_cast<int>(lead), "..", shown + lead,
              sizeof shown - lead);
    return shown;
}
