#include "playback/tune_player.h"

#include "app/window_handle.h"
#include "pxtone/pxtone.h"
#include "tunes/tune_list.h"

std::atomic<int32_t> tune_length{0};
std::atomic<float> play_fraction{0.0f};
static int32_t loads_failed = 0;

void player_ready()
{
    pxtone_Ready(program_window_handle(), 2, 22050, 16, 0.1f, 0, play_callback);
}

int32_t tune_length_from(int32_t beat_num, int32_t beat_clock, int32_t meas_num)
{
    uint32_t product = static_cast<uint32_t>(beat_clock) * static_cast<uint32_t>(beat_num) *
                       static_cast<uint32_t>(meas_num);
    return static_cast<int32_t>(product);
}

void load_and_start(int32_t position)
{
    pxtone_Tune_Stop();
    pxtone_Tune_Release();
    if (!pxtone_Tune_Load(nullptr, nullptr, tune_name(selected_slot())))
        loads_failed++;
    pxtone_Tune_Start(position, 0);
    int32_t beat_num = 0, beat_clock = 0, meas_num = 0;
    float beat_tempo = 0.0f;
    pxtone_Tune_GetInformation(&beat_num, &beat_tempo, &beat_clock, &meas_num);
    tune_length = tune_length_from(beat_num, beat_clock, meas_num);
}

int32_t failed_loads()
{
    return loads_failed;
}

int32_t stop_tune()
{
    return pxtone_Tune_Stop();
}

void set_loop(int32_t flag)
{
    pxtone_Tune_SetLoop(flag);
}

bool is_streaming()
{
    return pxtone_Tune_IsStreaming() != 0;
}

float play_fraction_now()
{
    return play_fraction;
}

const char *last_error_text()
{
    const char *text = pxtone_GetLastError();
    return text ? text : "";
}

void player_shutdown()
{
    pxtone_Tune_Release();
    pxtone_Release();
}

int32_t play_callback(int32_t position)
{
    if (pxtone_Tune_IsStreaming() == 0) {
        play_fraction = 0.0f;
        return 0;
    }
    int32_t length = tune_length;
    play_fraction = length > 0 ? static_cast<float>(position) / static_cast<float>(length) : 0.0f;
    return position;
}
