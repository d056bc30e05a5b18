/* Preloaded after the sanitizer runtime into a player that is not
 * sanitized: starts the runtime before any library's constructor runs.
 * Linked with -z initfirst, whose constructor the loader calls first; a
 * preloaded runtime's own comes after those of the program's libraries.
 * Started late, the runtime starts on the first malloc it sees, and in cvlc
 * that is inside libgpg-error's constructor, in bindtextdomain with glibc's
 * gettext lock held: starting, it calls dlerror, whose message gettext
 * translates under that lock again, which leaves the lock broken, and cvlc
 * waits for ever at its own bind_textdomain_codeset. */
void __asan_init(void);

__attribute__((constructor)) static void start_sanitizer(void)
{
    __asan_init();
}
