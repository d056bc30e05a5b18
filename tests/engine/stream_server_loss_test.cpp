// The sound server going away mid-tune, with a real PulseAudio server of the
// test's own (a null sink on a private socket): playback carries on at
// real-time pace on the silent clock, the error text says so, and the next
// tune gets the server back once it returns. Skipped without pulseaudio.
#include <SDL.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>

#include "interface/interface_engine.h"
#include "interface/interface_testing.h"
#include "stream_engine_fixture.h"

#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer reports races inside libpulse alone: both accesses are in
// its own packet and socket buffers, handed between its threads with atomics
// in the uninstrumented library that TSan cannot see. None of our memory is
// involved (our code never touches pulse's), so those reports are dropped.
extern "C" const char *__tsan_default_suppressions() { return "race:libpulsecommon\n"; }
#endif

#if defined(__SANITIZE_ADDRESS__)
// SDL 2.26's PulseAudio hotplug thread asks for sink details when sinks come
// and go (as the test's server does) and never unrefs the operation
// (pa_context_get_sink_info_by_index, seen with fast_unwind_on_malloc=0).
// The usual short stacks end in libpulse's allocator, so the match is on
// that library: the engine allocates nothing through it.
extern "C" const char *__lsan_default_suppressions() { return "leak:libpulse.so\n"; }
#endif

namespace {

using Clock = std::chrono::steady_clock;

bool wait_for(const std::function<bool()> &done, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

bool have_program(const char *name) {
    std::string path = getenv("PATH") ? getenv("PATH") : "";
    size_t from = 0;
    while (from <= path.size()) {
        size_t to = path.find(':', from);
        if (to == std::string::npos) to = path.size();
        std::string file = path.substr(from, to - from) + "/" + name;
        if (access(file.c_str(), X_OK) == 0) return true;
        from = to + 1;
    }
    return false;
}

// A PulseAudio server with a null sink, reachable only through its own
// socket, and this process pointed at it.
class PulseServer {
public:
    explicit PulseServer(TempFolder &dir) : dir_(dir) {
        socket_ = dir.path() + "/native";
        std::string conf = dir.file("client.conf");
        std::ofstream(conf) << "autospawn = no\n";
        setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
        setenv("PULSE_CLIENTCONFIG", conf.c_str(), 1);
        mkdir((dir.path() + "/home").c_str(), 0700);
        mkdir((dir.path() + "/run").c_str(), 0700);
    }
    ~PulseServer() {
        stop();
        unsetenv("PULSE_SERVER");
        unsetenv("PULSE_CLIENTCONFIG");
        // What the server left in its home and runtime folders.
        std::string cmd = "rm -rf '" + dir_.path() + "/home' '" + dir_.path() + "/run'";
        if (system(cmd.c_str()) != 0) ADD_FAILURE() << cmd;
    }
    bool start() {
        unlink(socket_.c_str());
        pid_ = fork();
        if (pid_ == 0) {
            setenv("HOME", (dir_.path() + "/home").c_str(), 1);
            setenv("XDG_RUNTIME_DIR", (dir_.path() + "/run").c_str(), 1);
            freopen("/dev/null", "w", stderr);
            std::string native = "module-native-protocol-unix auth-anonymous=1 socket=" + socket_;
            execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                   "--use-pid-file=no", ("--load=" + native).c_str(),
                   "--load=module-null-sink sink_name=test_null", (char *)nullptr);
            _exit(127);
        }
        return pid_ > 0 && wait_for([&] { return access(socket_.c_str(), F_OK) == 0; }, 10);
    }
    void signal(int sig) {
        if (pid_ > 0) kill(pid_, sig);
    }
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGCONT);
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    TempFolder &dir_;
    std::string socket_;
    pid_t pid_ = -1;
};

pxtone::DeviceHealth health() { return pxtone::the_engine().device->health(); }

size_t callbacks_so_far() {
    std::lock_guard<std::mutex> lock(CallbackLog::mutex());
    return CallbackLog::calls().size();
}

class ThreadsServerLoss : public ::testing::Test {
protected:
    void SetUp() override {
        if (!have_program("pulseaudio")) GTEST_SKIP() << "no pulseaudio here";
        driver_env_ = std::make_unique<AudioDriverEnv>(nullptr);
        server_ = std::make_unique<PulseServer>(dir_);
        ASSERT_TRUE(server_->start()) << "pulseaudio did not start";
        pxtone::set_recover_interval(0.2);
        ASSERT_NE(pxtone_Ready(nullptr, 2, 22050, 16, 0.1f, 0, CallbackLog::record), 0);
        if (health() != pxtone::DeviceHealth::working)
            GTEST_SKIP() << "the sound server was not taken";
        // A new PulseAudio stream asks for little in its first seconds; let
        // that pass so that the tune's timing is the silent clock's.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        tune_ = write_tune(dir_, "four.ptcop", held_note_song(4));  // four seconds
    }
    void TearDown() override {
        pxtone_Release();
        pxtone::set_recover_interval(3.0);
        server_.reset();
        driver_env_.reset();
        CallbackLog::take();
    }
    // Starts the tune and lets it play for a while on the server.
    Clock::time_point start_and_settle() {
        EXPECT_NE(pxtone_Tune_Load(nullptr, nullptr, tune_.c_str()), 0);
        CallbackLog::take();
        auto started = Clock::now();
        EXPECT_NE(pxtone_Tune_Start(0, 0), 0);
        EXPECT_TRUE(wait_for([] { return callbacks_so_far() >= 5; }, 5)) << "no sound went out";
        return started;
    }
    // The tune goes on without the server and ends about on time.
    void expect_it_plays_on(Clock::time_point started) {
        // Waits on the device, not the text: an earlier test in this process
        // may have left the same text behind.
        EXPECT_TRUE(wait_for([] { return health() == pxtone::DeviceHealth::lost; }, 5));
        EXPECT_STREQ(pxtone_GetLastError(), "sound device lost, silent");
        size_t calls_at_loss = callbacks_so_far();
        EXPECT_TRUE(wait_for([] { return !pxtone_Tune_IsStreaming(); }, 15));
        double took = seconds_since(started);
        std::printf("    the four-second tune took %.2f s, %zu callbacks after the loss\n", took,
                    callbacks_so_far() - calls_at_loss);
        EXPECT_GT(took, 3.5) << "a four-second tune";
        EXPECT_LT(took, 5.0) << "a four-second tune";
        EXPECT_GT(callbacks_so_far(), calls_at_loss) << "the progress went on";
    }
    // The next tune finds the server again.
    void expect_the_next_tune_gets_it_back() {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // past the retry spacing
        ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, tune_.c_str()), 0);
        EXPECT_STREQ(pxtone_GetLastError(), "sound device back");
        EXPECT_EQ(health(), pxtone::DeviceHealth::working);
        CallbackLog::take();
        ASSERT_NE(pxtone_Tune_Start(0, 0), 0);
        EXPECT_TRUE(wait_for([] { return callbacks_so_far() >= 5; }, 5));
    }

    TempFolder dir_;
    std::unique_ptr<PulseServer> server_;
    std::string tune_;
    std::unique_ptr<AudioDriverEnv> driver_env_;
};

TEST_F(ThreadsServerLoss, ServerKilledMidTune) {
    auto started = start_and_settle();
    server_->stop();
    expect_it_plays_on(started);
    ASSERT_TRUE(server_->start());
    expect_the_next_tune_gets_it_back();
}

TEST_F(ThreadsServerLoss, ServerFrozenMidTune) {
    auto started = start_and_settle();
    server_->signal(SIGSTOP);
    expect_it_plays_on(started);

    // Still frozen: the next tune plays silent, and does not wait for it.
    auto load = Clock::now();
    ASSERT_NE(pxtone_Tune_Load(nullptr, nullptr, tune_.c_str()), 0);
    ASSERT_NE(pxtone_Tune_Start(0, 0), 0);
    EXPECT_LT(seconds_since(load), 0.5);
    EXPECT_EQ(health(), pxtone::DeviceHealth::lost);

    server_->signal(SIGCONT);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    expect_the_next_tune_gets_it_back();
}

}  // namespace
