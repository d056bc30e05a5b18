#include "program_test_support.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <new>
#include <thread>

#include "app/frame_loop.h"
#include "app/player_state.h"
#include "playback/tune_player.h"
#include "pxtone/pxtone.h"
#include "tune_builder.h"
#include "tunes/folder_scan.h"
#include "tunes/tune_list.h"
#include "ui/skin.h"

namespace fs = std::filesystem;

namespace {

// Headless Allegro and a ready engine, once for the whole test program.
class program_environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        player_ready();
    }
    void TearDown() override { player_shutdown(); }
};

const auto *const ENVIRONMENT = ::testing::AddGlobalTestEnvironment(new program_environment);

}  // namespace

temp_folder::temp_folder()
{
    std::string pattern = (fs::temp_directory_path() / "brindlewick-test-XXXXXX").string();
    char *made = mkdtemp(pattern.data());
    if (!made)
        throw std::runtime_error("mkdtemp failed");
    path_ = made;
    previous_ = fs::current_path();
    fs::current_path(path_);
}

temp_folder::~temp_folder()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

void temp_folder::touch(const std::string &name) const
{
    FILE *f = std::fopen((path_ / name).c_str(), "wb");
    if (f)
        std::fclose(f);
}

bool write_test_tune(const std::string &name, double seconds, bool pttune)
{
    tune_builder::Song song;
    song.pttune = pttune;
    song.beat_clock = pttune ? 48 : 480;
    song.beat_num = 4;
    song.tempo = static_cast<float>(4 * 60.0 / seconds);  // one measure of four beats
    song.voices.push_back(tune_builder::sine_voice("sine"));
    song.units.push_back("u");
    tune_builder::add_note(song, 0, 0, song.beat_clock * 3, tune_builder::KEY_A4);
    return tune_builder::write_file(song, name);
}

void list_unplayable_tunes(int n)
{
    for (int k = 1; k <= n; k++)
        add_tune(("t" + std::to_string(k) + ".ptcop").c_str(), k - 1);
    player_state.tune_count = n;
    player_state.list_length = n < 10 ? 10 : n;
}

void reset_program_state()
{
    player_state.~player_state_record();
    new (&player_state) player_state_record();
    clear_tune_list();
    scan_report.long_name[0] = '\0';
    scan_report.scans++;  // as after a scan that left nothing out
    select_slot(0);
    pxtone_Tune_Stop();
    pxtone_Tune_Release();
    tune_length = 0;
    play_fraction = 0.0f;
    release_input();
}

void put_mouse(int x, int y, bool down)
{
    mouse_x = x;
    mouse_y = y;
    mouse_b = down ? 1 : 0;
}

void release_input()
{
    put_mouse(200, 20, false);  // over the title strip: no control
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
}

void run_frames(int n)
{
    for (int i = 0; i < n; i++) {
        player_state.frame_ticks++;
        run_frame();
    }
}

bool sleep_one_frame_and_run()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(33));
    run_frames(1);
    return true;
}

bool engine_streams()
{
    if (!write_test_tune("probe.ptcop", 2.0))
        return false;
    add_tune("probe.ptcop", TUNE_CAPACITY - 1);
    int32_t keep = selected_slot();
    select_slot(TUNE_CAPACITY - 1);
    load_and_start(0);
    bool streams = is_streaming();
    pxtone_Tune_Stop();
    pxtone_Tune_Release();
    add_tune("", TUNE_CAPACITY - 1);
    select_slot(keep);
    std::remove("probe.ptcop");
    return streams;
}

void program_test::SetUp()
{
    set_color_depth(32);
    reset_program_state();
    load_skin();
}

void program_test::TearDown()
{
    release_skin();
    reset_program_state();
}
