// Helpers for the program's tests: headless Allegro, a fresh program state
// per test, temporary folders the test runs inside, test tunes, input.
#ifndef PROGRAM_TEST_SUPPORT_H
#define PROGRAM_TEST_SUPPORT_H

#include <allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// A fresh folder under /tmp that is the current folder for the object's
// lifetime; removed with everything in it afterwards.
class temp_folder {
public:
    temp_folder();
    ~temp_folder();
    temp_folder(const temp_folder &) = delete;
    temp_folder &operator=(const temp_folder &) = delete;
    const std::filesystem::path &path() const { return path_; }
    void touch(const std::string &name) const;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Writes a playable tune of about `seconds` (one measure at 4 beats, the
// tempo chosen to fit) with one sine note; returns false on write failure.
bool write_test_tune(const std::string &name, double seconds, bool pttune = false);

// Lists n empty files t1.ptcop .. tN.ptcop as tunes 1..n (without
// creating them): the engine cannot load them, so they never stream.
void list_unplayable_tunes(int n);

// Resets player_state, the tune list, the tune player's words and Allegro's
// input globals; the mouse is put outside every control.
void reset_program_state();

// Mouse at (x, y), left button down or up.
void put_mouse(int x, int y, bool down);
void release_input();

// Runs n whole frames as the loop would (one tick each), without pacing.
void run_frames(int n);

// Runs paced frames (about 30 a second) until done() or timeout; returns
// whether done() became true.
template <class F> bool run_frames_until(F done, double timeout_seconds);
bool sleep_one_frame_and_run();

// True when the engine streams a freshly started test tune; leaves it
// stopped. Tests that need sound skip when it does not.
bool engine_streams();

// Base fixture: headless Allegro at 32 bits, the built-in skin, fresh
// state, a temporary current folder.
class program_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    temp_folder folder_;
};

template <class F> bool run_frames_until(F done, double timeout_seconds)
{
    int frames = static_cast<int>(timeout_seconds * 30) + 1;
    for (int i = 0; i < frames; i++) {
        if (done())
            return true;
        sleep_one_frame_and_run();
    }
    return done();
}

#endif
